#include "platform/gui_folder_chooser.h"

#include "support/test_env.h"

#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

struct ChooserCall {
  QWidget* owner = nullptr;
  QString prompt;
};

// Answers every chooser with answer and records what it was asked.
ChooserCall* answerWith(const QString& answer) {
  static ChooserCall call;
  setFolderChooserAnswerer([answer](QWidget* owner, const QString& prompt) {
    call = {owner, prompt};
    return answer;
  });
  return &call;
}

}  // namespace

TEST(BrowseFolder, ReturnsTheChosenFolderAndPromptsWithTheTitleAndABlank) {
  QWidget owner;
  const QString folder = TestEnvironment::newTempDir();
  const ChooserCall* call = answerWith(folder);
  EXPECT_EQ(BrowseFolder(&owner, u"Selecciona la ruta inicial"_s), folder);
  EXPECT_EQ(call->prompt, u"Selecciona la ruta inicial "_s);
  EXPECT_EQ(call->owner, &owner);
}

TEST(BrowseFolder, CancelOrAnythingButAFolderGivesEmptyText) {
  const QString dir = TestEnvironment::newTempDir();
  writeFile(dir + u"/file.mp3"_s, "x");
  for (const QString& answer : {QString(), dir + u"/file.mp3"_s, dir + u"/missing"_s}) {
    answerWith(answer);
    EXPECT_EQ(BrowseFolder(nullptr, u"Selecciona la ruta inicial"_s), QString())
        << answer.toStdString();
  }
}
