#include "app/preferences.h"

#include "store/pair_file.h"
#include "structure/date_text.h"

namespace tarvo {
namespace {

const char* YesNo(bool on) { return on ? "Y" : "N"; }

}  // namespace

bool Preferences::load() {
  PairList pairs;
  if (!LoadPairFile(path, pairs)) return false;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string_view key = pairs.key(i);
    const std::string_view value = pairs.value(i);
    if (key == "date") dateFormat = DecimalOr(value, 0);
    else if (key == "sfx") soundEffects = value == "Y";
    else if (key == "lv") lastVersion.assign(value);
    else if (key == "font") fontName.assign(value);
    else if (key == "fsize") fontSize = DecimalOr(value, 11);
    else if (key == "col") fontColour = DecimalOr(value, 0);
    else if (key == "scr") fontCharset = DecimalOr(value, 0);
    else if (key == "sum") showSummary = value != "N";
  }
  return true;
}

bool Preferences::save() const {
  PairList pairs;
  pairs.add("date", std::to_string(dateFormat));
  if (soundEffects) pairs.add("sfx", "Y");
  pairs.add("lv", lastVersion);
  pairs.add("font", fontName);
  pairs.add("fsize", std::to_string(fontSize));
  pairs.add("col", std::to_string(fontColour));
  pairs.add("scr", std::to_string(fontCharset));
  pairs.add("sum", YesNo(showSummary));
  return SavePairFile(path, pairs, kPreferenceBackups);
}

bool ScreenLayout::load() {
  PairList pairs;
  highlightBack = -1;
  highlightText = -1;
  if (!LoadPairFile(path, pairs)) return false;
  const auto number = [&pairs](std::string_view key, int& field) {
    const std::size_t at = pairs.find(key);
    if (at != PairList::npos) field = DecimalOr(pairs.value(at), -1);
  };
  number("top", top);
  number("left", left);
  number("width", width);
  number("height", height);
  number("tree", treeWidth);
  number("struct", structWidth);
  number("rpanel", rightPanel);
  number("tpanel", topPanel);
  number("hib", highlightBack);
  number("hit", highlightText);
  number("due", dueWidth);
  number("info", infoWidth);
  lastFolder = std::string(pairs.valueOf("lfs"));
  loaded = true;
  return true;
}

bool ScreenLayout::save() const {
  PairList pairs;
  const auto number = [&pairs](std::string_view key, int value) {
    pairs.add(key, std::to_string(value));
  };
  number("top", top);
  number("left", left);
  number("width", width);
  number("height", height);
  number("tree", treeWidth);
  number("struct", structWidth);
  number("info", infoWidth);
  number("due", dueWidth);
  number("rpanel", rightPanel);
  number("tpanel", topPanel);
  if (highlightBack != -1) number("hib", highlightBack);
  if (highlightText != -1) number("hit", highlightText);
  if (!lastFolder.empty()) pairs.add("lfs", lastFolder);
  return SavePairFile(path, pairs, 0);
}

}  // namespace tarvo
