// The add-in object's COM surface: its interfaces, one IDispatch behind all of them, the
// connection interface's names and DISPIDs, and the members Office calls by name.
#pragma once

#include "tests/wine/checks.h"
#include "tests/wine/office_api.h"

namespace wine_test {

void CheckAddinInterfaces(Checks& checks, IDTExtensibility2* addin);

// Invokes a member through IDispatch with arguments in declaration order.
HRESULT CallByDispid(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> args,
                     VARIANT* result = nullptr);
// The DISPID that the object gives `name`; DISPID_UNKNOWN when it knows none.
DISPID IdOfName(IDispatch* object, const wchar_t* name);

}  // namespace wine_test
