#include "app/commands/program_list_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>

#include "app/widgets/string_grid.h"
#include "core/file_io.h"
#include "core/report.h"

namespace lumora::app {

QStringList dialogFilters(std::string_view filter) {
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + " (" + parts[i + 1] + ")";
    return out;
}

std::optional<ProgramListTarget> runProgramListDialog(QWidget* parent,
                                                      const ProgramListRequest& request) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(request.saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(request.selectedFilter));
    // The extension follows the filter the user picks.
    const auto suffix = [&](const QString& filter) {
        return filter == request.filters.value(1) ? QStringLiteral("bin") : QStringLiteral("lst");
    };
    dialog.setDefaultSuffix(suffix(request.filters.value(request.selectedFilter)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&](const QString& filter) { dialog.setDefaultSuffix(suffix(filter)); });
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    if (!request.saving) return ProgramListTarget{path, programListFormatOf(path.toStdString())};
    const bool binary = dialog.selectedNameFilter() == request.filters.value(1);
    return ProgramListTarget{path, binary ? ProgramFormat::Binary : ProgramFormat::List};
}

bool isKey(const QKeyEvent& event, int key, Qt::KeyboardModifiers modifiers) {
    return event.key() == key && (event.modifiers() & ~Qt::KeypadModifier) == modifiers;
}

bool runCommandListKey(const QKeyEvent& event, const CommandListActions& actions) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const std::function<void()>& action;
    } keys[] = {
        {Qt::Key_C, Qt::ControlModifier, actions.copy},
        {Qt::Key_X, Qt::ControlModifier, actions.cut},
        {Qt::Key_V, Qt::ControlModifier, actions.paste},
        {Qt::Key_A, Qt::ControlModifier, actions.selectAll},
        {Qt::Key_N, Qt::ShiftModifier, actions.nop},
    };
    for (const auto& entry : keys) {
        if (!isKey(event, entry.key, entry.modifiers)) continue;
        if (entry.action) entry.action();
        return true;
    }
    return false;
}

LineRange selectedCommandLines(const StringGrid& grid) {
    const int top = std::max(grid.selectionTop() - 1, 0);
    const int bottom = std::max(grid.selectionBottom() - 1, top);
    return {static_cast<std::size_t>(top), static_cast<std::size_t>(bottom)};
}

void selectAllCommandRows(StringGrid& grid, std::size_t lines) {
    if (lines == 0) return;
    grid.setRangeSelected(
        QTableWidgetSelectionRange(0, 0, static_cast<int>(lines) - 1, grid.columnCount() - 1),
        true);
}

std::optional<TCommands> readProgramListFile(const ProgramListTarget& target, Reporter& reporter,
                                             const std::function<void(const QString&)>& fileError) {
    Bytes bytes;
    try {
        bytes = readFileBytes(QFile::encodeName(target.path).toStdString());
    } catch (const FileError& error) {
        if (fileError) fileError(QString::fromUtf8(error.what()));
        return std::nullopt;
    }
    std::string problem;
    std::optional<TCommands> commands = parseProgramList(bytes, target.format, problem);
    if (!commands) {
        reporter.erlog(QFileInfo(target.path).fileName().toStdString() + ": " + problem);
    }
    return commands;
}

}  // namespace lumora::app
