#pragma once

#include <functional>
#include <span>

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace veltrano {

class ChartView;

// The "Grafiek navigatie" group: paging, go-to, full view and event navigation, all acting
// on the chart's axis model.
class NavigationBox : public QGroupBox {
    Q_OBJECT
public:
    using MessageFn = std::function<void(const QString&)>;

    // message shows a plain message box; the window passes its own seam.
    NavigationBox(ChartView* chart, MessageFn message, QWidget* parent = nullptr);

    QPushButton* beginbijbegin = nullptr;
    QPushButton* vorigebutton = nullptr;
    QPushButton* volgendebutton = nullptr;
    QPushButton* UnzoomButton = nullptr;
    QPushButton* GaNaarButton = nullptr;
    QLabel* GaNaarLabel = nullptr;
    QLabel* totlabel = nullptr;
    QLineEdit* Edit2 = nullptr; // "Vanaf"
    QLineEdit* Edit1 = nullptr; // "Tot"
    QLineEdit* calamiteitedit = nullptr;
    QPushButton* ganaarcalamiteitbutton = nullptr;
    QPushButton* vorigecalamiteitbutton = nullptr;
    QPushButton* volgendecalamiteitbutton = nullptr;

    // Number of the event last shown; kept across processing runs.
    long long calamiteitnummer = 0;

    // Captions of the three paging buttons for the unit at this position of "Tijdeenheid".
    void setUnit(int index);
    // The event list: entry n of both rows is event n; 0 and 0 is an empty entry. The rows
    // stay the caller's. Entries outside the rows count as empty.
    void setEventList(std::span<const long double> starts, std::span<const long double> ends);
    // At the start of every processing run.
    void disableEventButtons();
    // The group's controls that take the focus, row by row as they stand.
    QList<QWidget*> readingOrder() const;

public slots:
    void beginbijbeginClick();
    void vorigebuttonClick();
    void volgendebuttonClick();
    void UnzoomButtonClick();
    void GaNaarButtonClick();
    void ganaarcalamiteitbuttonClick();
    void vorigecalamiteitbuttonClick();
    void volgendecalamiteitbuttonClick();

private:
    void chartPanned();
    void restoreFullView();
    bool emptyEntry(long long n) const;
    void showCalamity(long long n);

    ChartView* chart_;
    MessageFn message_;
    std::span<const long double> starts_;
    std::span<const long double> ends_;
};

} // namespace veltrano
