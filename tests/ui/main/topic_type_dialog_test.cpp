#include "ui/main/topic_type_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "ui/main/topic_tree_model.h"

namespace tarvo {
namespace {

// The four options in screen order, with the type code each stands for.
struct Option {
  const char* name;
  const char* caption;
  int type;
};
constexpr Option kOptions[] = {{"Things", "Things to do", 4},
                               {"Info", "Information", 5},
                               {"Ideas", "Ideas", 6},
                               {"Money", "Finances", 7}};

QLabel* labelOf(const QDialog& d, const QString& name) {
  return d.findChild<QLabel*>("label" + name);
}
QToolButton* buttonOf(const QDialog& d, const QString& name) {
  return d.findChild<QToolButton*>("button" + name);
}
void click(QDialog& d, const char* name) {
  d.findChild<QPushButton*>(name)->click();
}

// Every bold caption by name, so a failure shows all of them, not just the first.
QStringList boldLabels(const QDialog& dialog) {
  QStringList bold;
  for (const Option& option : kOptions) {
    if (labelOf(dialog, option.name)->font().bold()) bold << option.name;
  }
  return bold;
}

TEST(TopicTypeDialog, ShowsCaptionPromptOptionsAndTheirTreeImages) {
  TformTopicSelect dialog(2);
  EXPECT_EQ(dialog.objectName(), "formTopicSelect");
  EXPECT_EQ(dialog.windowTitle(), "Select topic type");
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("Choose one of these  topic types:")) << texts.join('|').toStdString();
  for (const Option& option : kOptions) {
    EXPECT_EQ(labelOf(dialog, option.name)->text(), option.caption);
    const QIcon& image = TopicTreeModel::Images()[static_cast<std::size_t>(option.type)];
    EXPECT_EQ(buttonOf(dialog, option.name)->icon().cacheKey(), image.cacheKey()) << option.name;
    EXPECT_EQ(buttonOf(dialog, option.name)->accessibleName(), option.caption);
  }
  EXPECT_EQ(dialog.chosenType(), -1);
}

TEST(TopicTypeDialog, BoldsTheCurrentTypeOnlyAndNoneForOtherTypes) {
  for (int type : {2, 3, 4, 5, 6, 7}) {  // general and event have no option of their own
    TformTopicSelect dialog(type);
    dialog.show();
    QStringList expected;
    for (const Option& option : kOptions) {
      if (option.type == type) expected << option.name;
    }
    EXPECT_EQ(boldLabels(dialog), expected) << type;
  }
}

TEST(TopicTypeDialog, OkGivesTheClickedOptionOrNoneWithoutAClick) {
  TformTopicSelect untouched(2);
  untouched.show();
  click(untouched, "buttonOK");
  EXPECT_EQ(untouched.chosenType(), -1);
  EXPECT_EQ(untouched.result(), QDialog::Accepted);
  EXPECT_FALSE(untouched.isVisible());
  for (const Option& option : kOptions) {
    TformTopicSelect dialog(3);
    dialog.show();
    QTest::mouseClick(labelOf(dialog, option.name), Qt::LeftButton);
    click(dialog, "buttonOK");
    EXPECT_EQ(dialog.chosenType(), option.type) << option.name;
  }
}

TEST(TopicTypeDialog, LastClickWinsAndCancelGivesNone) {
  TformTopicSelect dialog(4);
  dialog.show();
  QTest::mouseClick(buttonOf(dialog, "Money"), Qt::LeftButton);
  EXPECT_EQ(boldLabels(dialog), QStringList{"Money"});
  QTest::mouseClick(labelOf(dialog, "Ideas"), Qt::LeftButton);
  EXPECT_EQ(boldLabels(dialog), QStringList{"Ideas"});
  click(dialog, "buttonOK");
  EXPECT_EQ(dialog.chosenType(), 6);

  TformTopicSelect cancelled(2);
  cancelled.show();
  QTest::mouseClick(labelOf(cancelled, "Info"), Qt::LeftButton);
  click(cancelled, "buttonCancel");
  EXPECT_EQ(cancelled.chosenType(), -1);
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

// Runs Choose() with `keys` typed inside its modal loop.
int chooseByKeyboard(int currentType, const std::function<void(TformTopicSelect&)>& keys) {
  QTimer::singleShot(0, [keys] {
    auto* dialog = qobject_cast<TformTopicSelect*>(QApplication::activeModalWidget());
    if (dialog != nullptr) keys(*dialog);  // else nothing is open and the result check fails
  });
  return TformTopicSelect::Choose(currentType, nullptr);
}

TEST(TopicTypeDialog, KeyboardWalksTheOptionsChoosesAndConfirms) {
  const auto tabSpaceEnter = [](TformTopicSelect& dialog) {
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    buttonOf(dialog, "Things")->setFocus();
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget(), buttonOf(dialog, "Info"));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  };
  EXPECT_EQ(chooseByKeyboard(2, tabSpaceEnter), 5);
  // Escape discards even the bold current type.
  const auto escape = [](TformTopicSelect& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); };
  EXPECT_EQ(chooseByKeyboard(6, escape), -1);
}

}  // namespace
}  // namespace tarvo
