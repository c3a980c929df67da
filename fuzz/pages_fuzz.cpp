// The pages file and the page information file on any bytes: the first half of the input is a
// topic's pages file, the rest the information file of each of its pages. Nothing crashes, and
// every page's caption, information path and summary can be asked for.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_file.h"
#include "content/page_columns.h"
#include "content/topic_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = FuzzFolder("pages");
  const tarvo::PageFolders folders{folder, folder, folder};
  const std::size_t half = size / 2;
  PutBytes(folder + "/7.pkt", data, half);
  tarvo::ResultOf<tarvo::TopicPages> first = tarvo::LoadTopicPages(folders, "7", 1);
  if (!first) return 0;
  // Each page's information file holds the second half, wherever the file name puts it.
  for (tarvo::TopicPage& page : first->pages) {
    const std::string path = tarvo::PageInfoPath(folders, page);
    if (path.empty() || path.find("/../") != std::string::npos || path.find(folder + "/") != 0) continue;
    if (path.find('/', folder.size() + 1) != std::string::npos) continue;  // stays in the folder
    PutBytes(path, data + half, size - half);
    (void)tarvo::LoadPageInfo(folders, page);
    (void)tarvo::ApplyColumns(page.info);
    tarvo::TrackColumnWidths(page, {0, 250});
    (void)tarvo::PageCaption(page);
    std::remove(path.c_str());
  }
  (void)tarvo::SummaryOf(*first);
  return 0;
}
