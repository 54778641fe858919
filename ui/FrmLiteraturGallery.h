#pragma once
// The gallery of the literature register: every source's cover picture with its title text
// beneath, in rows that follow the window's width; a source without cover shows a placeholder.
// Clicking a cover (or Enter on it) opens the source. Reads the sources when built and on Refresh.

#include <QWidget>

#include <functional>

class QListWidget;
class QListWidgetItem;

namespace pf {

class FrmLiteraturGallery : public QWidget
{
    Q_OBJECT
public:
    // openSource shows a source in the register and returns false when it could not (its window
    // is gone); without one, or when it returns false, a register window of its own opens.
    explicit FrmLiteraturGallery(std::function<bool(long)> openSource = {}, QWidget* parent = nullptr);

    void Refresh();
    // Opens the source of the selected cover.
    void cmdOpen_Click();
    int CoverCount() const;
    // Room for two rows of four covers.
    QSize sizeHint() const override;

private:
    void Open(const QListWidgetItem* item);

    std::function<bool(long)> m_openSource;
    QListWidget* m_covers = nullptr;
};

} // namespace pf
