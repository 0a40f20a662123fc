// xfm_rms's sphere options on any argument vector (fuzz/argv.h).
//
// A vector that sphere_options takes must give a finite positive radius and
// a finite centre, and the ball it gives, printed back as "-r" and "-c"
// groups after it, must read back to the same bits. A vector it refuses
// must stay refused whatever good groups follow.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "fuzz/argv.h"
#include "fuzz/check.h"
#include "xfm/rms.h"

namespace {

bool same(const Sphere &a, const Sphere &b)
{
	return memcmp(&a.radius, &b.radius, sizeof a.radius) == 0 &&
	       memcmp(a.centre, b.centre, sizeof a.centre) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	FuzzArgs args(data, size);
	std::vector<char *> argv(args.argv.begin(), args.argv.end() - 1);
	int argc = args.argc;

	Sphere ball;
	bool taken = sphere_options(argc, argv.data(), ball);

	char radius[64], centre[3 * 32];
	Sphere shown = taken ? ball : Sphere();
	snprintf(radius, sizeof radius, "-r%.17g", shown.radius);
	snprintf(centre, sizeof centre, "-c%.17g,%.17g,%.17g", shown.centre[0], shown.centre[1],
	         shown.centre[2]);
	argv.push_back(radius);
	argv.push_back(centre);
	Sphere again;
	bool retaken = sphere_options(argc + 2, argv.data(), again);

	if (taken) {
		demand(std::isfinite(ball.radius) && ball.radius > 0);
		for (double c : ball.centre)
			demand(std::isfinite(c));
		demand(retaken && same(ball, again));
	} else {
		demand(!retaken);
	}
	return 0;
}
