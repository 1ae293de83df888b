#pragma once
// Failures of the harness itself (a library that does not load, a class the
// add-in does not offer, a name it does not know, a null table slot).
#include <stdexcept>
#include <string>

namespace v8host {

class THostError : public std::runtime_error {
 public:
  explicit THostError(const std::string& AMessage) : std::runtime_error(AMessage) {}
};

}  // namespace v8host
