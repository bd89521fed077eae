# Writes the build date (YYYYMMDD) and time (seconds since midnight, local time) into OUT.
string(TIMESTAMP d "%Y%m%d")
string(TIMESTAMP h "%H")
string(TIMESTAMP m "%M")
string(TIMESTAMP s "%S")
math(EXPR secs "${h} * 3600 + ${m} * 60 + ${s}")
math(EXPR d "${d} + 0")
file(WRITE ${OUT} "// generated at build time\n#include \"app/build_stamp.h\"\nBuildStamp compiledBuildStamp() { return BuildStamp{${d}, ${secs}}; }\n")
