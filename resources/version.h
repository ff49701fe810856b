// The DLL's version, shared by the version record and any code that reports it.
#pragma once

// The last number is the build's: a release build may stamp it (VESTRANO_BUILD_NUMBER), and the
// installer's upgrade test stamps it one higher to get a newer build of the same code.
#ifndef VESTRANO_BUILD_NUMBER
#define VESTRANO_BUILD_NUMBER 0
#endif
#define VESTRANO_VERSION_BINARY 3, 1, 0, VESTRANO_BUILD_NUMBER
#define VESTRANO_VERSION_TEXT "3.01"
#define VESTRANO_PRODUCT_NAME "Vestrano v3.01"
