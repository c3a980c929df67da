// A stand-in encryption library that exports two of the eight entry points.
extern "C" int EncryptFile(const char* path) { return path != 0; }
extern "C" int CloseCrypt(void) { return 0; }
