// An argument vector from a fuzz target's input: the input cut at its NUL
// bytes, the first piece being the program's path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct FuzzArgs {
	// Every argument in an allocation of its own size, so that reading
	// past one is caught.
	std::vector<std::unique_ptr<char[]>> pieces;
	std::vector<char *> argv;  // ended by a null pointer
	int argc = 0;

	FuzzArgs(const uint8_t *data, size_t size)
	{
		for (size_t start = 0;;) {
			const void *nul = start < size ? memchr(data + start, 0, size - start) : nullptr;
			size_t end = nul ? static_cast<const uint8_t *>(nul) - data : size;
			pieces.emplace_back(new char[end - start + 1]);
			memcpy(pieces.back().get(), data + start, end - start);
			pieces.back()[end - start] = '\0';
			if (!nul)
				break;
			start = end + 1;
		}
		for (auto &p : pieces)
			argv.push_back(p.get());
		argc = int(argv.size());
		argv.push_back(nullptr);
	}
};
