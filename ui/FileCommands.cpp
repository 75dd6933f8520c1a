// The file commands: open a coordinate file, save the grid of the selected
// format, save the raw text store, save both grids under one chosen name, and
// set the number of coordinate records.

#include "core/CoordinateFiles.h"
#include "core/IntegerText.h"
#include "ui/MainWindow.h"
#include "ui/Program.h"

#include <exception>
#include <optional>

namespace {

// Whether a name ends in "XYZ", in any mix of cases; the end of the full path
// counts, no dot is looked for.
bool EndsInXYZ(const QString& name) {
    const QString end = name.right(3);
    if (end.size() != 3) return false;
    for (qsizetype i = 0; i < 3; ++i) {
        const char16_t ch = end[i].unicode();
        const char16_t upper = ch >= u'a' && ch <= u'z' ? static_cast<char16_t>(ch - u'a' + u'A') : ch;
        if (upper != u"XYZ"[i]) return false;
    }
    return true;
}

}  // namespace

void TfrmMain::mnuFileOpenClick() {
    if (RefusedDuringTransfer()) return;
    switch (store.comboDataFormat.ItemIndex()) {
    case DataFormatSelector::kXYZ:
    case DataFormatSelector::kYXZ: OpenDialog1.FilterIndex = kFilterXYZ; break;
    case DataFormatSelector::kYDE: OpenDialog1.FilterIndex = kFilterYDE; break;
    default: break;
    }
    if (!program_.dialogs.Execute(OpenDialog1)) return;
    const std::u16string fileName = OpenDialog1.FileName.toStdU16String();
    if (EndsInXYZ(OpenDialog1.FileName))
        LoadXYZFile(store, fileName);
    else
        LoadYDEFile(store, fileName);
}

void TfrmMain::mnuSaveClick() {
    if (RefusedDuringTransfer()) return;
    struct Layout {
        const char* defaultExt;
        int filterIndex;
        void (*writer)(const RecordStore&, const std::u16string&);
    };
    Layout layout;
    switch (store.comboDataFormat.ItemIndex()) {
    case DataFormatSelector::kXYZ: layout = {"XYZ", kFilterXYZ, SaveXYZFile}; break;
    case DataFormatSelector::kYXZ: layout = {"XYZ", kFilterXYZ, SaveYXZFile}; break;
    case DataFormatSelector::kYDE: layout = {"YDE", kFilterYDE, SaveYDEFile}; break;
    default: return;  // no format selected: no dialog, nothing saved
    }
    SaveDialog1.DefaultExt = QString::fromLatin1(layout.defaultExt);
    SaveDialog1.FilterIndex = layout.filterIndex;
    if (!program_.dialogs.Execute(SaveDialog1)) return;
    layout.writer(store, SaveDialog1.FileName.toStdU16String());
}

void TfrmMain::mnuSaveRawClick() {
    if (RefusedDuringTransfer()) return;
    SaveDialog1.DefaultExt = QStringLiteral("txt");
    SaveDialog1.FilterIndex = kFilterText;
    if (!program_.dialogs.Execute(SaveDialog1)) return;
    store.memoDummyInput.SaveToFile(SaveDialog1.FileName.toStdU16String());
}

void TfrmMain::mnuSaveAllClick() {
    if (RefusedDuringTransfer()) return;
    SaveDialog1.DefaultExt = QStringLiteral("txt");
    SaveDialog1.FilterIndex = kFilterText;
    if (!program_.dialogs.Execute(SaveDialog1)) return;
    // The chosen name less its last three characters, whatever they are:
    // job.txt gives job.XYZ and job.YDE; the chosen name itself is not written.
    // Both files change, or neither.
    const QString stem = SaveDialog1.FileName.chopped(std::min<qsizetype>(3, SaveDialog1.FileName.size()));
    SaveXYZAndYDEFiles(store, (stem + QStringLiteral("XYZ")).toStdU16String(),
                       (stem + QStringLiteral("YDE")).toStdU16String());
}

void TfrmMain::mnuSetRecordCountClick() {
    if (RefusedDuringTransfer()) return;
    const QString answer =
        program_.dialogs.InputBox(QStringLiteral("Yeni kayıt sayısı"), QStringLiteral("İstenen kayıt sayısını girin."),
                                  QString::number(store.LinesCountXYZ));
    // Cancel gives the current count back, which is applied again.
    bool applied = false;
    if (const std::optional<std::int32_t> count = TryStrToInt(answer.toStdU16String());
        count && *count <= kMaxRecordCount) {
        try {
            store.SetCoordinateRecordCount(*count);
            applied = true;
        } catch (const std::exception&) {
        }
    }
    if (!applied) ShowMessage(u"Girdiğiniz kayıt sayısı geçersiz! Lütfen tekrar deneyin.");
}
