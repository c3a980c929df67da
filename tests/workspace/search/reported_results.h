#pragma once

// Asks the search service and waits (processing events) until it reports the results.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <optional>

#include "workspace/search/search_service.h"

namespace tarvo::test {

inline SearchResults ReportedResults(SearchService& service, const QString& typed) {
  std::optional<SearchResults> got;
  const QMetaObject::Connection connection = QObject::connect(
      &service, &SearchService::resultsReady, [&](int, const SearchResults& results) { got = results; });
  service.search(typed);
  const QDeadlineTimer deadline(20000);
  while (!got && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  QObject::disconnect(connection);
  EXPECT_TRUE(got.has_value()) << "no results reported";
  return got.value_or(SearchResults{});
}

}  // namespace tarvo::test
