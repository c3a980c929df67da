#include "content/rtf_reader.h"

#include "content/rtf_parser.h"

namespace tarvo {

namespace {

bool StartsLikeRtf(std::string_view bytes) {
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

}  // namespace

ResultOf<RichDocument> ReadRtf(std::string_view bytes) {
  if (!StartsLikeRtf(bytes)) {
    return Result::Failure("this is not an RTF document: it does not begin with {\\rtf");
  }
  return rtf::Parser(bytes.substr(bytes.find('{'))).read();
}

}  // namespace tarvo
