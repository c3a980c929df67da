#pragma once

// A command of a page: named for tests, and with a key that works while the page (or a control
// in it) has the focus, so it never clashes with the same key elsewhere in the window.

#include <QAction>
#include <QWidget>

namespace tarvo {

template <typename Page>
QAction* AddPageAction(Page* page, const char* name, const QString& caption, const QKeySequence& key,
                       void (Page::*slot)()) {
  auto* action = new QAction(caption, page);
  action->setObjectName(name);
  action->setShortcut(key);
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(action, &QAction::triggered, page, slot);
  page->QWidget::addAction(action);
  return action;
}

}  // namespace tarvo
