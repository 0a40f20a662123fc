// The control groups that bound this process: its own and every one above
// it, since a parent's limit binds its children too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every path below is read under root: "" on the running system, a folder
// that stands in for "/" (its proc/self/cgroup and sys/fs/cgroup) in tests.

// The directories that hold the limit files of those cgroups, from the
// process's own up to the root: in the unified hierarchy (v2), and in the v1
// hierarchy of the named controller ("memory", "cpu"). Only directories that
// exist are given; each hierarchy may have its own names for the files.
std::vector<std::string> cgroup_dirs(const char *v1_controller, const std::string &root = "");

// The least memory limit of those cgroups, in bytes: v2 memory.max, v1
// memory.limit_in_bytes. "max", or no such file, is no limit: UINT64_MAX.
uint64_t cgroup_memory_limit(const std::string &root = "");

// The first line of a small file, without its newline; empty when it cannot
// be read.
std::string first_line(const std::string &path);
