#pragma once
// A type name for templates whose spelling is built from their arguments.
// It is made on first use, so it never depends on static start-up order.
#include <string>

namespace QV {

struct LazyTypeName {
    const std::string& (*make)();
    operator const char*() const { return make().c_str(); }
};

}  // namespace QV
