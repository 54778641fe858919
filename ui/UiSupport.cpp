#include "ui/UiSupport.h"

#include "core/AppContext.h"
#include "core/Interaction.h"
#include "core/Settings.h"
#include "db/WorkDatabase.h"
#include "model/clBlob.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLayout>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <algorithm>

namespace pf {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string S(const QString& text)
{
    return text.toStdString();
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

QCheckBox* MakeCheck(const QString& name, const QString& text, QWidget* parent)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    return check;
}

QMdiSubWindow* AddSubWindow(QMdiArea& area, QWidget* window)
{
    // The size the window chose for itself, before the frame wraps it.
    const QSize own = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    QMdiSubWindow* sub = area.addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A window larger than the area would hide its edges; it gets what room there is (never less
    // than its minimum, the area scrolls then).
    const QSize room = area.viewport()->size();
    if (area.isVisible() && room.isValid() && own.isValid()) {
        const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
        const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        const QSize framed = own + QSize(2 * border, title + border);
        sub->resize(framed.boundedTo(room).expandedTo(sub->minimumSizeHint()));
    }
    sub->show();
    // The area places a new window beside the last one; it moves back so that it stays in view.
    if (area.isVisible() && room.isValid())
        sub->move(std::max(0, std::min(sub->x(), room.width() - sub->width())),
                  std::max(0, std::min(sub->y(), room.height() - sub->height())));
    return sub;
}

QPushButton* AddOkCancel(QDialog* dialog, QLayout* layout)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = MakeButton("cmdOK", "OK", dialog);
    ok->setDefault(true);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(MakeButton("cmdCancel", "Abbrechen", dialog), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return ok;
}

void ShowBeside(QWidget* from, QWidget* window)
{
    QMdiArea* area = nullptr;
    for (QWidget* w = from ? from->parentWidget() : nullptr; w && !area; w = w->parentWidget())
        area = qobject_cast<QMdiArea*>(w);
    if (area) {
        AddSubWindow(*area, window);
    } else {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
}

void CloseWindow(QWidget* window)
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

void FitHeaderTexts(QHeaderView* header)
{
    const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
    int widest = 0;
    for (int i = 0; i < header->count(); ++i) {
        const QString text = header->model()->headerData(i, header->orientation()).toString();
        const int width = header->fontMetrics().horizontalAdvance(text) + margin;
        widest = std::max(widest, width);
    }
    header->setMinimumSectionSize(widest);
    if (auto* view = qobject_cast<QAbstractScrollArea*>(header->parentWidget()))
        view->setMinimumWidth(
            std::max(view->minimumWidth(), widest * header->count() + 2 * view->frameWidth() +
                                               view->verticalScrollBar()->sizeHint().width()));
}

QWidget* ScrollsDown(QWidget* page)
{
    auto* frame = new QScrollArea;
    frame->setObjectName(page->objectName() + "Scroll");
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWidgetResizable(true);
    frame->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frame->setWidget(page);
    frame->setMinimumWidth(page->minimumSizeHint().width() +
                           frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, frame));
    return frame;
}

void KeepWrappedTextsWhole(QWidget* window)
{
    QLayout* layout = window->layout();
    if (!layout || !layout->hasHeightForWidth())
        return;
    const int width = std::max(window->minimumSizeHint().width(), window->minimumWidth());
    window->setMinimumHeight(std::max(window->minimumHeight(), layout->totalHeightForWidth(width)));
}

namespace {

class RoomyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), option.fontMetrics.height() + 6));
        return size;
    }
};

} // namespace

void RoomyRows(QAbstractItemView* view)
{
    view->setItemDelegate(new RoomyDelegate(view));
}

void PlaceOver(QWidget* window, QWidget* owner)
{
    QScreen* screen = owner ? owner->screen() : window->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size = window->size()
                           .boundedTo(QSize(area.width() * 9 / 10, area.height() * 9 / 10))
                           .expandedTo(window->minimumSizeHint());
    window->resize(size);
    const QPoint centre = owner ? owner->frameGeometry().center() : area.center();
    QPoint topLeft = centre - QPoint(size.width() / 2, size.height() / 2);
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - size.width())));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    window->move(topLeft);
}

void CloseOnEscape(QWidget* window)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window] { CloseWindow(window); });
}

QString DateTimeCell(DateSerial date)
{
    if (date.Days == 0)
        return {};
    return Q(DateTimeText(date));
}

namespace {

bool InProgramFolder(const QString& path)
{
    const QString program = Q(AppContext::Current().ProgramDir);
    if (program.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString folder = QDir::cleanPath(program);
    return clean == folder || clean.startsWith(folder + '/');
}

// The folder itself for a folder, the containing folder for a file, empty when neither exists.
QString ExistingFolder(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.isDir())
        return info.absoluteFilePath();
    if (info.absoluteDir().exists())
        return info.absolutePath();
    return {};
}

} // namespace

QString StartFolder(const std::string& purpose, const QString& wanted)
{
    const QFileInfo info(wanted);
    const QString wantedFolder = ExistingFolder(wanted);
    if (info.isAbsolute() && !wantedFolder.isEmpty() && !InProgramFolder(wantedFolder))
        return info.isDir() ? wantedFolder : info.absoluteFilePath();
    QString folder = ExistingFolder(Q(ReadSetting(kFolderSection, purpose, "", false)));
    if (folder.isEmpty() || InProgramFolder(folder))
        folder = QDir::homePath();
    // A file name still to be written (an export target) keeps its name in the new folder.
    if (!wanted.isEmpty() && !info.isDir() && !info.exists())
        return folder + '/' + info.fileName();
    return folder;
}

void RememberFolder(const std::string& purpose, const QString& chosen)
{
    const QString folder = ExistingFolder(chosen);
    if (!folder.isEmpty())
        WriteSetting(kFolderSection, purpose, S(folder), false);
}

std::optional<Blob> LoadShownPicture(const std::string& file, const std::string& caption)
{
    std::optional<Blob> bytes = LoadPictureFile(file);
    if (!bytes)
        return std::nullopt;
    QPixmap check;
    if (!check.loadFromData(bytes->data(), static_cast<uint>(bytes->size()))) {
        UI().Inform("Die Datei " + file +
                        " enthält kein lesbares Bild.\n\nBild konnte nicht geladen werden !",
                    MsgIcon::Warning, caption);
        return std::nullopt;
    }
    return bytes;
}

} // namespace pf
