#pragma once

#include <memory>

namespace json {

class TZAbstractObject;

// Destroys a value unless it is one of the shared values (true, false, null).
struct ValueDeleter {
    void operator()(TZAbstractObject *value) const;
};

// A value owned by a container or handed to a caller; null stands for "no value".
using OwnedValue = std::unique_ptr<TZAbstractObject, ValueDeleter>;

} // namespace json
