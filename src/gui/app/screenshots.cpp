// filingcheck-screenshots - renders every window of the desktop program,
// offscreen, into PNG files: filingcheck-screenshots OUTPUT_DIRECTORY
//
// The windows work on a scratch application home whose store holds a small
// made-up check run, so that the results window has something to show.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "gui/results/ChkResult.h"
#include "gui/shell/EndForm.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/windows/AccountWindow.h"
#include "gui/windows/IdentityWindow.h"
#include "store/Store.h"

namespace {

// Nobody reads the boxes of a screenshot run; they answer at once.
class SilentBoxes final : public fc::gui::MessageBoxes {
 public:
  fc::gui::BoxAnswer show(const QString&, const QString&, fc::gui::BoxIcon,
                          fc::gui::BoxButtons buttons) override {
    return buttons == fc::gui::BoxButtons::YesNo ? fc::gui::BoxAnswer::Yes : fc::gui::BoxAnswer::Ok;
  }
};

void FillSampleRun(fc::store::Store& store) {
  store.clearRun();
  auto file = [&store](fc::store::FileRow row, std::initializer_list<std::pair<const char*, const char*>> errors) {
    store.beginFileRow();
    for (const auto& [id, text] : errors) store.addErrRow(row.fileid, id, text);
    store.addFileRow(row);
  };
  file({1, 1, "客户基本信息表", "QL_100001_KHJBXX_20080808_1.ZIP", 1, 1, 3},
       {{"R03", "客户基本信息表中有 2 条记录的证件号码为空"},
        {"R07", "客户基本信息表中有 1 条记录的客户类别不在规定范围内"}});
  file({2, 1, "资金与证券账户对应关系表", "QL_100001_ZJZQDY_20080808_1.ZIP", 1, 1, 3}, {});
  file({3, 1, "资金变动信息表", "QL_100001_ZJBDXX_20080808_1.ZIP", 0, 0, {}}, {});
  file({4, 1, "证券营业部信息表", "100001_YYBXX_20080808_1.ZIP", 1, 0, {}},
       {{"7", "数据日期与文件名中的日期不一致"}});
  file({5, 1, "账户信息比对不一致情况表", "100001_ZHBYZ_20080808_1.ZIP", 1, 1, 3}, {});
}

bool Save(QWidget& window, const QDir& out, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = out.filePath(QLatin1String(name));
  if (window.grab().save(path)) return true;
  std::fprintf(stderr, "filingcheck-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
  QTemporaryDir scratch;
  if (!out.mkpath(QStringLiteral(".")) || !scratch.isValid()) {
    std::fprintf(stderr, "filingcheck-screenshots: cannot prepare %s\n", qPrintable(out.path()));
    return 1;
  }
  fc::settings::AppHome home;
  home.home = scratch.path().toStdString();
  home.data = fc::settings::LocateDataDir(QCoreApplication::applicationDirPath().toStdString());
  SilentBoxes boxes;
  bool ok = true;

  fc::gui::MainForm welcome(home, boxes);
  ok &= Save(welcome, out, "mainfrm.png");
  welcome.lightButton(1);
  ok &= Save(welcome, out, "mainfrm-lit.png");
  welcome.hide();

  fc::gui::AccountWindow account(home, boxes);
  account.companyCodeField()->setText(QStringLiteral("100001"));
  account.sourceDirField()->setText(QStringLiteral("/home/operator/submission"));
  ok &= Save(account, out, "mainfrm1.png");
  FillSampleRun(*account.store());
  fc::gui::ChkResult results(account.store(), boxes);
  ok &= Save(results, out, "chkresult.png");
  results.hide();
  account.reject();

  fc::gui::IdentityWindow identity(home, boxes);
  identity.toggleHelp();
  ok &= Save(identity, out, "mainfrm2.png");
  identity.reject();

  fc::gui::EndForm end(home.data);
  ok &= Save(end, out, "endform.png");
  return ok ? 0 : 1;
}
