#pragma once

// Which panel the detail area shows for the selected node: a topic's section type decides it.

namespace tarvo {

struct TopicRecord;

enum class DetailPanel {
  None,         // sections, topics of other section types, no selection
  TopicPages,   // section type 1: the topic's pages
  Network,      // type 2: the shared-folder settings
  Preferences,  // type 3
  About,        // type 5: product and system information
  Contacts,     // type 6
};

DetailPanel DetailPanelFor(const TopicRecord* record);

}  // namespace tarvo
