#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QIcon>
#include <QWidget>

class QCheckBox;
class QCPAbstractPlottable;
class QCustomPlot;

namespace veltrano {

// The legend on screen: one check box per series, which shows or hides it; the entry of a
// highlighted series is lit and its swatch drawn with the wider pen.
class LegendRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEntries = 6;
    explicit LegendRow(QWidget* parent = nullptr);

    QCheckBox* checkBox(int series) const { return boxes_[series]; }
    bool shown(int series) const;
    void setHighlighted(std::optional<int> series);
    std::optional<int> highlighted() const { return highlighted_; }

signals:
    void shownChanged(int series, bool on);

private:
    std::array<QCheckBox*, kEntries> boxes_{};
    std::array<QIcon, kEntries> icons_, wideIcons_;
    std::optional<int> highlighted_;
};

// The plot's own legend, on paper only: for as long as it lives the plot carries the given
// series' legend at its foot, three to a row.
class PaperLegend {
public:
    PaperLegend(QCustomPlot* plot, const std::vector<QCPAbstractPlottable*>& shown);
    ~PaperLegend();
    PaperLegend(const PaperLegend&) = delete;
    PaperLegend& operator=(const PaperLegend&) = delete;

private:
    QCustomPlot* plot_;
};

} // namespace veltrano
