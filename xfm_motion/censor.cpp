#include "xfm_motion/censor.h"

// The end of the run of equal values that begins at start.
static size_t run_end(const std::vector<char> &v, size_t start)
{
	size_t end = start;
	while (end < v.size() && v[end] == v[start])
		end++;
	return end;
}

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
	for (size_t start = 0, end; start < out.size(); start = end) {
		end = run_end(out, start);
		if (!out[start] && int64_t(end - start) < rules.shortest)
			for (size_t i = start; i < end; i++)
				out[i] = 1;
	}
	return out;
}

std::string runs(const std::vector<char> &censored)
{
	std::string text;
	for (size_t start = 0, end; start < censored.size(); start = end) {
		end = run_end(censored, start);
		text += std::to_string(end - start);
		text += censored[start] ? 'x' : '+';
	}
	return text;
}
