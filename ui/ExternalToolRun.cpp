#include "ui/ExternalToolRun.h"

#include "core/ExternalTools.h"
#include "core/Interaction.h"
#include "core/Messages.h"
#include "core/ProcessRunner.h"
#include "db/WorkDatabase.h"
#include "exchange/ExportRun.h"
#include "ui/FrmMMImportDupe.h"
#include "ui/UiSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pf {

namespace {

constexpr const char* kCaption = "Externes Programm";

int ExportModeOf(const ExternalTool& tool)
{
    const bool clipboard = (tool.Action & toolaction::kClipboard) != 0;
    switch (tool.ActionType) {
    case tooltype::kRezkonv:
        return clipboard ? clsRecipeExport::kRezkonvClipboard : clsRecipeExport::kRezkonvFile;
    case tooltype::kMensax:
        return clipboard ? clsRecipeExport::kMensaxClipboard : clsRecipeExport::kMensaxFile;
    default:
        return clipboard ? clsRecipeExport::kMealMasterClipboard : clsRecipeExport::kMealMasterFile;
    }
}

ToolValues CurrentValues()
{
    const AppContext& app = AppContext::Current();
    ToolValues values;
    values.Database = Connection().DbPath;
    values.BookId = std::to_string(app.ActiveBookId);
    values.BookTitle = app.ActiveBookTitle;
    values.TempDir = app.TempDir;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        values.Clipboard = S(clipboard->text());
    return values;
}

std::string Joined(const std::vector<std::string>& args)
{
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty())
            line += ' ';
        line += arg.find_first_of(" \t") == std::string::npos ? arg : "\"" + arg + "\"";
    }
    return line;
}

// The small window shown while the tool runs; its button asks whether to stop.
class ToolWaitWindow : public QDialog
{
public:
    ToolWaitWindow(const std::string& name, QWidget* parent) : QDialog(parent)
    {
        setObjectName("FrmToolWait");
        setWindowTitle(kCaption);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(
            new QLabel(Q("„" + name + "“ läuft. Das Programm wartet, bis es beendet ist."), this));
        auto* stop = MakeButton("cmdStop", "&Abbrechen", this);
        layout->addWidget(stop, 0, Qt::AlignRight);
        connect(stop, &QPushButton::clicked, this, [this] { m_stopAsked = true; });
    }
    bool TakeStopRequest()
    {
        const bool asked = m_stopAsked;
        m_stopAsked = false;
        return asked;
    }

protected:
    void reject() override { m_stopAsked = true; }

private:
    bool m_stopAsked = false;
};

// Duplicates in what the tool gave back. A recipe that matches one of the recipes exported for the
// tool is their edited form: the user is asked whether it replaces the recipe (keeping its number,
// so menus and plans still show it, and its pictures, utensils and cookbooks, which the file does
// not carry). Any other duplicate goes to the usual duplicate dialog.
class ToolDupeDecider : public DupeDecider
{
public:
    ToolDupeDecider(const ExternalTool& tool, const std::vector<long>& exported, Database& db,
                    QWidget* parent)
        : m_tool(tool), m_exported(exported), m_dialog(&db, parent)
    {
    }
    int Decide(const DupeQuestion& question, bool& noMoreQuestions) override
    {
        if (std::find(m_exported.begin(), m_exported.end(), question.ExistingID) == m_exported.end())
            return m_dialog.Decide(question, noMoreQuestions);
        switch (UI().Ask("„" + m_tool.Name + "“ hat das Rezept „" + question.ImportTitle +
                             "“ zurückgegeben.\n\nSoll es das Rezept ersetzen, aus dem es exportiert "
                             "wurde?\n(Nein: als weiteres Rezept importieren)",
                         Buttons::YesNoCancel, Answer::Yes, MsgIcon::Question, kCaption)) {
        case Answer::Yes:
            return dupe::kUpdate;
        case Answer::No:
            return dupe::kImport;
        default:
            return dupe::kSkip;
        }
    }

private:
    const ExternalTool& m_tool;
    const std::vector<long>& m_exported;
    QtDupeDecider m_dialog;
};

// Imports what the tool produced (its file, or the clipboard) into the active cookbook, after the
// user edited it when the tool asks for that.
std::optional<ImportResultView> ImportToolResult(const ExternalTool& tool, const std::string& file,
                                                 const std::vector<long>& exported, QWidget* parent)
{
    std::string text;
    if ((tool.Action & toolaction::kClipboard) != 0) {
        text = S(QGuiApplication::clipboard()->text());
    } else {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            UI().Inform("Das Programm hat keine Importdatei geschrieben:\n" + file, MsgIcon::Warning,
                        kCaption);
            return std::nullopt;
        }
        std::ifstream in(file, std::ios::binary);
        std::ostringstream read;
        read << in.rdbuf();
        text = read.str();
    }
    if ((tool.Action & toolaction::kEditImport) != 0) {
        std::optional<std::string> edited = CheckImportText(text, parent);
        if (!edited)
            return std::nullopt;
        text = std::move(*edited);
    }
    ToolDupeDecider decider(tool, exported, WorkDb(), parent);
    return ImportTextIntoActiveBook(ImportTextFromString(text, file), WorkDb(), decider, true);
}

} // namespace

ToolRunOutcome RunExternalTool(const ExternalTool& tool, const std::vector<long>& ids, QWidget* parent)
{
    ToolRunOutcome outcome;
    ToolValues values = CurrentValues();
    values.File = ToolActionFile(tool, values);

    if ((tool.Action & toolaction::kExportBefore) != 0) {
        if (ids.empty()) {
            UI().Inform("Bitte zuerst die Rezepte wählen, die das Programm bearbeiten soll.",
                        MsgIcon::Information, kCaption);
            return outcome;
        }
        ExportRequest request;
        request.Mode = ExportModeOf(tool);
        request.Ids = ids;
        request.FileName = values.File;
        const ExportOutcome exported = RunExport(request, &WorkDb());
        if (!exported.Ok) {
            if (!exported.Cancelled)
                UI().Inform(exported.Message, MsgIcon::Critical, kCaption);
            return outcome;
        }
        if ((tool.Action & toolaction::kClipboard) != 0)
            values.Clipboard = exported.Result;
    }

    const std::vector<std::string> args = ToolArguments(tool.Command, values);
    if (args.empty()) {
        UI().Inform("Für „" + tool.Name + "“ ist keine Befehlszeile eingetragen.", MsgIcon::Warning,
                    kCaption);
        return outcome;
    }
    if ((tool.Action & toolaction::kShowCommand) != 0 &&
        UI().Ask("Die folgende Befehlszeile wird nun ausgeführt:\n\n" + Joined(args), Buttons::OkCancel,
                 Answer::Ok, MsgIcon::Question, kCaption) != Answer::Ok)
        return outcome;

    ToolWaitWindow wait(tool.Name, parent);
    wait.show();
    const ProcessResult run = RunProcess(args, ExpandToolText(tool.Workingdir, values), [&wait] {
        QApplication::processEvents();
        return wait.TakeStopRequest() &&
               UI().Ask("Soll die Verarbeitung des Externen Programmes abgebrochen werden ? ", Buttons::YesNo,
                        Answer::No, MsgIcon::Question, kCaption) == Answer::Yes;
    });
    wait.close();
    if (!run.Started) {
        LogError({0, args.front() + ": " + run.Error, "RunExternalTool", {}});
        UI().Inform("Das Programm „" + args.front() +
                        "“ konnte nicht gestartet werden. Bitte die Befehlszeile "
                        "und den Arbeitsordner in den Einstellungen prüfen.",
                    MsgIcon::Critical, kCaption);
        return outcome;
    }
    if (run.Stopped)
        return outcome;
    outcome.Ran = true;
    if (run.ExitCode != 0)
        UI().Inform("„" + tool.Name + "“ endete mit dem Fehlercode " + std::to_string(run.ExitCode) + ".",
                    MsgIcon::Warning, kCaption);
    else if ((tool.Action & toolaction::kImportAfter) != 0)
        outcome.Import = ImportToolResult(
            tool, values.File, (tool.Action & toolaction::kExportBefore) != 0 ? ids : std::vector<long>{},
            parent);
    return outcome;
}

ToolRunOutcome ChooseAndRunTool(const std::vector<long>& ids, bool importing, QWidget* parent)
{
    std::vector<const ExternalTool*> offered;
    std::vector<std::string> names;
    for (const ExternalTool& tool : AppContext::Current().ToolTable) {
        if (!ToolUsed(tool) || (importing && (tool.Action & toolaction::kImportAfter) == 0))
            continue;
        offered.push_back(&tool);
        names.push_back(tool.Name);
    }
    if (offered.empty()) {
        UI().Inform(std::string(importing ? "Es ist kein externes Import-Programm eingetragen."
                                          : "Es ist kein externes Programm eingetragen.") +
                        " Externe Programme werden unter „Datei – Einstellungen“ auf der Seite „Externe "
                        "Programme“ eingetragen.",
                    MsgIcon::Information, kCaption);
        return {};
    }
    std::optional<int> chosen = 0;
    if (offered.size() > 1)
        chosen = UI().ChooseItem("Programm wählen:", names, kCaption);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(offered.size()))
        return {};
    return RunExternalTool(*offered[static_cast<std::size_t>(*chosen)], ids, parent);
}

} // namespace pf
