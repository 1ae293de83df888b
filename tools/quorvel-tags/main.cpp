// quorvel-tags: puts tags into the field of an emulated reader that is open
// in this user's session, empties the field, or lists the readers
// (quorvel-tags --help).
#include <iostream>

#include "quorvel-tags/Arguments.h"
#include "quorvel-tags/Tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> Args = quorvel_tags::Utf8Arguments(argc, argv);
  const int Status = quorvel_tags::RunTagTool(Args, std::cout, std::cerr);
  std::cout.flush();
  return Status;
}
