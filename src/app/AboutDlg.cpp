#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/LauncherLayout.h"
#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::app {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100"));
  setWindowTitle(QString::fromStdString(Format("%s Vantrel Manager", GetText(326))));
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(QStringLiteral(":/icons/128.svg")).pixmap(48, 48));
  auto* version = new QLabel(QString::fromStdString(Format("Vantrel Manager ( %s )", kAppVersion)), this);
  version->setObjectName(QString::number(IDC_VERSION));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(version, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(300, 110)));
}

}  // namespace vantrel::app
