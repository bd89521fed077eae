#pragma once

// The program's build date (YYYYMMDD) and build time (seconds since midnight).
struct BuildStamp {
    int date = 0;
    int time = 0;
};

// Filled in by the build of the executable (generated source); tests pass their own stamps.
BuildStamp compiledBuildStamp();
