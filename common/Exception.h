#pragma once
// The program's one failure type: an exception that carries a message text.
// Failures become what the platform sees at exactly two places: the
// exported-method frame of a driver and the bridge's exception report.
#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
public:
  explicit Exception(std::u16string AMessage);
  explicit Exception(std::string_view AUtf8Message);

  const std::u16string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FUtf8.c_str(); }

private:
  std::u16string FMessage;
  std::string FUtf8;
};

// The message of any exception: the program's own text, the UTF-8 text of a
// standard exception, or a fixed text for anything else.
std::u16string ExceptionMessage(std::exception_ptr AError);
