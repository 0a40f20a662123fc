#include "xfm_motion/censor.h"

// A frame is censored when a frame that moved too much lies within `after`
// frames before it or `before` frames after it: one pass each way, keeping
// the distance to the nearest such frame, so that large counts cost nothing.
std::vector<char> censor(const std::vector<double> &fd, const CensorRules &rules)
{
	int64_t n = int64_t(fd.size());
	std::vector<char> moved(n), out(n);
	for (int64_t i = 1; i < n; i++)
		moved[i] = !(fd[i] <= rules.threshold);
	for (int64_t i = 0, last = -1; i < n; i++) {
		if (moved[i])
			last = i;
		out[i] = last >= 0 && i - last <= rules.after;
	}
	for (int64_t i = n - 1, next = -1; i >= 0; i--) {
		if (moved[i])
			next = i;
		out[i] = out[i] || (next >= 0 && next - i <= rules.before);
	}
	for (int64_t start = 0; start < n;) {
		int64_t end = start;
		while (end < n && out[end] == out[start])
			end++;
		if (!out[start] && end - start < rules.shortest)
			for (int64_t i = start; i < end; i++)
				out[i] = 1;
		start = end;
	}
	return out;
}

std::string runs(const std::vector<char> &censored)
{
	std::string text;
	for (size_t start = 0; start < censored.size();) {
		size_t end = start;
		while (end < censored.size() && censored[end] == censored[start])
			end++;
		text += std::to_string(end - start);
		text += censored[start] ? 'x' : '+';
		start = end;
	}
	return text;
}
