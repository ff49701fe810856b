// The DLL's version, shared by the version record and any code that reports it.
#pragma once

#define VESTRANO_VERSION_BINARY 3, 1, 0, 0
#define VESTRANO_VERSION_TEXT "3.01"
#define VESTRANO_PRODUCT_NAME "Vestrano v3.01"
