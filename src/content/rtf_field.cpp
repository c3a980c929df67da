#include "content/rtf_field.h"

namespace tarvo {

namespace {

struct Argument {
  QString text;
  bool quoted = false;

  [[nodiscard]] bool isSwitch(QStringView name) const { return !quoted && text == name; }
};

// The next argument of an instruction: a quoted string or a word, from `position` on.
Argument NextArgument(QStringView text, qsizetype& position) {
  while (position < text.size() && text[position].isSpace()) ++position;
  if (position >= text.size()) return {};
  if (text[position] == u'"') {
    const qsizetype start = ++position;
    while (position < text.size() && text[position] != u'"') ++position;
    const QString argument = text.mid(start, position - start).toString();
    ++position;
    return {argument, true};
  }
  const qsizetype start = position;
  while (position < text.size() && !text[position].isSpace() && text[position] != u'"') ++position;
  return {text.mid(start, position - start).toString(), false};
}

}  // namespace

QString HyperlinkTarget(QStringView instruction) {
  qsizetype position = 0;
  if (NextArgument(instruction, position).text.compare(u"HYPERLINK", Qt::CaseInsensitive) != 0) {
    return {};
  }
  QString target;
  while (position < instruction.size()) {
    const Argument argument = NextArgument(instruction, position);
    if (argument.isSwitch(u"\\l")) {
      target += u'#' + NextArgument(instruction, position).text;
    } else if (argument.isSwitch(u"\\o") || argument.isSwitch(u"\\t")) {
      NextArgument(instruction, position);  // a tooltip or a target frame
    } else if ((argument.quoted || !argument.text.startsWith(u'\\')) && target.isEmpty()) {
      target = argument.text;
    }
  }
  return target;
}

}  // namespace tarvo
