// A stand-in encryption library that exports none of the entry points.
extern "C" int SomethingElse(void) { return 1; }
