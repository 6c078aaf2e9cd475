// A vertical scroll area of sections, each a header over a body, whose
// headers stay pinned at the top while their section's body scrolls under
// them, until the next section's header pushes them away.
#pragma once

#include <QScrollArea>
#include <QWidget>

#include <vector>

namespace tw {

class SectionHeader;

class PinnedSections : public QScrollArea {
    Q_OBJECT
public:
    explicit PinnedSections(QWidget* parent = nullptr);

    // Takes both widgets into the content; sections stand in the order added.
    void addSection(SectionHeader* header, QWidget* body);
    void setSectionShown(int index, bool shown);
    bool sectionShown(int index) const;

    // The content's top of a section's header (unpinned), for tests.
    int sectionTop(int index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Section {
        SectionHeader* header;
        QWidget* body;
        bool shown = true;
        int top = 0;
        int bodyTop = 0;
        int bottom = 0;
    };

    void relayout();
    void placeHeaders();

    QWidget* content_;
    std::vector<Section> sections_;
    bool relayoutQueued_ = false;
};

} // namespace tw
