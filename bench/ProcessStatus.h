#pragma once

#include <cstdio>
#include <cstring>

// A memory figure of this process from /proc/self/status ("VmRSS", "VmHWM"), in kB; -1 where
// the system has none.
inline long processStatusKb(const char *field) {
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kb = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':' &&
            std::sscanf(line + length + 1, "%ld", &kb) == 1)
            break;
    std::fclose(status);
    return kb;
}
