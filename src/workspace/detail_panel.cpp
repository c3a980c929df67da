#include "workspace/detail_panel.h"

#include "structure/topic_record.h"

namespace tarvo {

DetailPanel DetailPanelFor(const TopicRecord* record) {
  if (record == nullptr || record->isSection()) return DetailPanel::None;
  switch (record->type) {
    case kMainSection:
      return DetailPanel::TopicPages;
    case kNetworkSection:
      return DetailPanel::Network;
    case kPreferencesSection:
      return DetailPanel::Preferences;
    case kInformationSection:
      return DetailPanel::About;
    case kContactsSection:
      return DetailPanel::Contacts;
    default:
      return DetailPanel::None;
  }
}

}  // namespace tarvo
