#pragma once
#include <stdexcept>
#include <string>

namespace bootdisk {

// Stream failures: a file that cannot be opened, a short read or write, damaged input.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace bootdisk
