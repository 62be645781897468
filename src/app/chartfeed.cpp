#include "chartfeed.h"

#include <QLineEdit>
#include <QLocale>

#include "analysis/numbers.h"
#include "analysis/processing.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"
#include "mainwidgets.h"

namespace veltrano {

bool feedChart(ChartView& chart, const ProcessingResult& result, const MainWidgets& ui) {
    ChartFill data = sampleFill(result.samples);
    const QLocale locale;
    const QLineEdit* edits[] = {ui.overspanningedit, ui.onderspanningedit,
                                ui.temperatuurbovengrensedit, ui.temperatuurondergrensedit};
    double* targets[] = {&data.overspanning, &data.onderspanning, &data.temperatuurbovengrens,
                         &data.temperatuurondergrens};
    for (int i = 0; i < 4; ++i) {
        const auto value = parseLocaleNumber(edits[i]->text(), locale);
        if (!value)
            return false;
        *targets[i] = double(*value);
    }
    chart.fill(data);
    return true;
}

} // namespace veltrano
