#pragma once
#include "app/build_stamp.h"

class TDataModule6;

// The build-stamp check against accounts_dep.ver. Copies delim into Delim, stamps the database
// when the build is newer, and tells whether the database carries a newer build (the program
// must then end).
enum class StampVerdict { Equal, Stamped, DatabaseNewer };
StampVerdict checkBuildStamp(TDataModule6& dm, const BuildStamp& build);
