// The channel editor's reference list and CSV commands.
#include <QFileInfo>

#include "channels/ChannelCsv.h"
#include "channels/ReferenceCsvTexts.h"
#include "channels/ReferenceList.h"
#include "core/FileDialogs.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/DlgListTools.h"

namespace vantrel::ui {
namespace {

constexpr const char* kReferenceFilter = "Channel lists and names(*.xml *.txt *.csv);;All(*.*)";
constexpr const char* kCsvFilter = "CSV(*.csv);;All(*.*)";

std::string Folder(const std::string& path) {
  return path.empty() ? std::string() : QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
}

}  // namespace

void CDlgChannel::OnApplyReference() {
  const std::optional<std::string> chosen = GetFileDialogs().GetOpenFileName(
      GetText(channels::kTextReferenceCaption), Folder(m_list->FilePath()), kReferenceFilter);
  if (!chosen || chosen->empty()) return;
  channels::ReferenceList reference;
  if (!channels::LoadReferenceList(*chosen, reference)) {
    ShowErrorText(Format(GetText(channels::kTextCannotRead), chosen->c_str()));
    return;
  }
  if (reference.entries.empty()) {
    ShowInfoText(GetText(channels::kTextReferenceEmpty));
    return;
  }
  CDlgReferencePreview preview(*m_list, reference, this);
  if (preview.exec() != QDialog::Accepted) return;
  m_editor->ApplyReference(preview.Plan());
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
}

void CDlgChannel::OnExportCsv() {
  std::string suggestion;
  if (!m_list->FilePath().empty()) {
    const QFileInfo info(QString::fromStdString(m_list->FilePath()));
    suggestion = (info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                  (m_editor->CurrentKind() == channels::ServiceKind::Radio ? QStringLiteral("-radio.csv")
                                                                           : QStringLiteral("-tv.csv")))
                     .toStdString();
  }
  const std::optional<std::string> chosen =
      GetFileDialogs().GetSaveFileName(GetText(channels::kTextMenuExportCsv), suggestion, kCsvFilter);
  if (!chosen || chosen->empty()) return;
  std::string path = *chosen;
  if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += ".csv";
  std::string reason;
  if (!channels::WriteChannelCsv(*m_list, m_editor->CurrentKind(), path, &reason)) {
    ShowErrorText(Format(GetText(channels::kTextCannotWriteCsv), path.c_str()) + "\n" + reason);
  }
}

void CDlgChannel::OnImportCsv() {
  const std::optional<std::string> chosen =
      GetFileDialogs().GetOpenFileName(GetText(channels::kTextImportCaption), Folder(m_list->FilePath()), kCsvFilter);
  if (!chosen || chosen->empty()) return;
  std::string bytes;
  if (!channels::ReadTextFile(*chosen, bytes)) {
    ShowErrorText(Format(GetText(channels::kTextCannotRead), chosen->c_str()));
    return;
  }
  const channels::CsvImportPlan plan = channels::PlanCsvImport(*m_list, bytes);
  CDlgCsvImport dialog(plan, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!m_editor->ApplyCsvImport(plan)) return;
  RefreshAll();
  ShowChannelCaptionDefault();
  ShowServiceCaptionDefault();
}

}  // namespace vantrel::ui
