#include "ui/viewer/accessible_names.h"

#include <QAbstractButton>
#include <QAction>
#include <QToolButton>
#include <QWidget>

namespace tarvo {
namespace {

// A caption without its keyboard mnemonic ("&Save" reads "Save").
QString Spoken(QString caption) { return caption.remove('&'); }

QString CaptionOf(const QWidget& widget) {
  if (const auto* tool = qobject_cast<const QToolButton*>(&widget); tool != nullptr && tool->defaultAction() != nullptr) {
    return Spoken(tool->defaultAction()->text());
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return Spoken(button->text());
  return {};
}

}  // namespace

void NameControlsForAccessibility(QWidget& window) {
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (QWidget* widget : widgets) {
    if (widget->accessibleName().isEmpty()) {
      QString name = CaptionOf(*widget);
      // A caption of one sign ("!", "?", "▲") says little: the hint says what it does.
      if (name.trimmed().size() <= 1 && !widget->toolTip().isEmpty()) name = widget->toolTip();
      if (!name.isEmpty()) widget->setAccessibleName(name);
    }
    if (widget->accessibleDescription().isEmpty() && !widget->toolTip().isEmpty()) {
      widget->setAccessibleDescription(widget->toolTip());
    }
  }
}

}  // namespace tarvo
