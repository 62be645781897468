#include "usersettings.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>

#include "configurationwindow.h"
#include "keychecks.h"
#include "mainwindow.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

// The groups and keys of the store.
constexpr char kVoltageTimeFilterUnit[] = "Filters/voltageTimeFilterUnit";
constexpr char kTemperatureTimeFilterUnit[] = "Filters/temperatureTimeFilterUnit";
constexpr char kTimeUnit[] = "MainWindow/timeUnit";
constexpr char kGeometry[] = "MainWindow/geometry";
constexpr char kMaximised[] = "MainWindow/maximised";
constexpr char kFolder[] = "Dialogs/folder";
constexpr char kVoltageInterval[] = "Configuration/voltageInterval";
constexpr char kTemperatureInterval[] = "Configuration/temperatureInterval";

// What an edit holds at most (QLineEdit's default maximum length).
constexpr qsizetype kEditMaxLength = 32767;

std::optional<QString> limitText(const QVariant& v, const QString& separator, NumberKeyRule rule) {
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = v.toString();
    if (text.size() > kEditMaxLength || !checkPaste(text, separator, QString(), 0, 0, rule))
        return std::nullopt;
    return text;
}

std::optional<int> listIndex(const QVariant& v, std::size_t count) {
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        break;
    default:
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong index = v.toLongLong(&ok);
    if (!ok || index < 0 || index >= qlonglong(count))
        return std::nullopt;
    return int(index);
}

std::optional<bool> flag(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString &&
        (v.toString() == QLatin1String("true") || v.toString() == QLatin1String("false")))
        return v.toString() == QLatin1String("true");
    return std::nullopt;
}

std::optional<QString> existingFolder(const QVariant& v) {
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString path = v.toString();
    if (path.isEmpty()) // none chosen yet
        return path;
    if (!QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
        return std::nullopt;
    return QDir::cleanPath(path);
}

// A stored rectangle may hold any coordinates, so its sizes are worked out in 64 bits.
std::optional<QRect> onScreen(const QVariant& v) {
    if (v.typeId() != QMetaType::QRect)
        return std::nullopt;
    const QRect r = v.toRect();
    const qint64 left = r.left(), top = r.top(), right = r.right(), bottom = r.bottom();
    if (right < left || bottom < top)
        return std::nullopt;
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect free = screen->availableGeometry();
        const qint64 w =
            std::min<qint64>(right, free.right()) - std::max<qint64>(left, free.left());
        const qint64 h =
            std::min<qint64>(bottom, free.bottom()) - std::max<qint64>(top, free.top());
        if (w >= 0 && h >= 0 && (w + 1) * (h + 1) > bestArea) {
            best = screen;
            bestArea = (w + 1) * (h + 1);
        }
    }
    if (!best)
        return std::nullopt;
    const QRect free = best->availableGeometry();
    const int width = int(std::min<qint64>(right - left + 1, free.width()));
    const int height = int(std::min<qint64>(bottom - top + 1, free.height()));
    const int x = int(std::clamp<qint64>(left, free.left(), qint64(free.right()) - width + 1));
    const int y = int(std::clamp<qint64>(top, free.top(), qint64(free.bottom()) - height + 1));
    return QRect(x, y, width, height);
}

// Takes the usable values of a store and counts what it held.
class Reader {
public:
    Reader(QSettings& store, StoredChoices& out) : store_(store), out_(out) {}

    template <class T, class Parse> void read(const char* key, T& target, Parse parse) {
        if (!store_.contains(key))
            return;
        if (auto value = parse(store_.value(key))) {
            target = *value;
            ++out_.usable;
        } else {
            ++out_.unusable;
        }
    }

private:
    QSettings& store_;
    StoredChoices& out_;
};

} // namespace

StoredChoices readChoices(QSettings& store, const QLocale& locale) {
    StoredChoices out;
    RememberedChoices& c = out.choices;
    c.filters = ProcessingSettings::defaults(locale);
    Reader in(store, out);
    const QString separator = locale.decimalPoint();
    // The key checks of the limits, which Enter in over-voltage does not change.
    for (const FilterFieldInfo& f : kFilterFields)
        in.read(f.settingsKey, c.filters.filterText(f.field),
                [&](const QVariant& v) { return limitText(v, separator, NumberKeyRule::Limit); });
    const auto index = [](std::size_t count) {
        return [count](const QVariant& v) { return listIndex(v, count); };
    };
    in.read(kVoltageTimeFilterUnit, c.filters.voltageTimeFilterUnit, index(kFilterUnits.size()));
    in.read(kTemperatureTimeFilterUnit, c.filters.temperatureTimeFilterUnit,
            index(kFilterUnits.size()));
    in.read(kTimeUnit, c.filters.timeUnit, index(kTimeUnits.size()));
    in.read(kGeometry, c.normalGeometry, onScreen);
    in.read(kMaximised, c.maximised, flag);
    in.read(kFolder, c.folder, existingFolder);
    in.read(kVoltageInterval, c.voltageInterval, index(kVoltageIntervals.size()));
    in.read(kTemperatureInterval, c.temperatureInterval, index(kTemperatureIntervals.size()));

    const QFileInfo file(store.fileName());
    const bool holdsSomething = store.status() != QSettings::NoError ||
                                !store.allKeys().isEmpty() ||
                                (file.exists() && !(file.isFile() && file.size() == 0));
    out.nothingUsable = holdsSomething && out.usable == 0;
    return out;
}

void writeChoices(QSettings& store, const RememberedChoices& c) {
    for (const FilterFieldInfo& f : kFilterFields)
        store.setValue(f.settingsKey, c.filters.filterText(f.field));
    store.setValue(kVoltageTimeFilterUnit, c.filters.voltageTimeFilterUnit);
    store.setValue(kTemperatureTimeFilterUnit, c.filters.temperatureTimeFilterUnit);
    store.setValue(kTimeUnit, c.filters.timeUnit);
    store.setValue(kGeometry, c.normalGeometry);
    store.setValue(kMaximised, c.maximised);
    store.setValue(kFolder, c.folder);
    store.setValue(kVoltageInterval, c.voltageInterval);
    store.setValue(kTemperatureInterval, c.temperatureInterval);
}

void showMainWindow(QWidget& window, const RememberedChoices& c) {
    // Sized to the screen also where no window manager maximises it.
    window.setGeometry(c.normalGeometry.isEmpty() ? window.screen()->availableGeometry()
                                                  : c.normalGeometry);
    if (c.maximised)
        window.showMaximized();
    else
        window.show();
}

std::unique_ptr<QSettings> UserSettings::userStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Veltrano"), QStringLiteral("Veltrano"));
}

UserSettings::UserSettings(std::unique_ptr<QSettings> store, QObject* parent)
    : QObject(parent), store_(std::move(store)) {}

UserSettings::~UserSettings() = default;

void UserSettings::attach(MainWindow& main, ConfigurationWindow& configuration) {
    main_ = &main;
    configuration_ = &configuration;
    stored_ = readChoices(*store_, QLocale());
    rewrite_ = stored_.nothingUsable;
    const RememberedChoices& c = stored_.choices;
    main.showSettings(c.filters);
    configuration.chooseIntervals(c.voltageInterval, c.temperatureInterval);
    folder_.setPath(c.folder);

    QWidget* group = main.filterGroup();
    auto* reset = new QAction(kRestoreDefaults, group);
    group->addAction(reset);
    group->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(reset, &QAction::triggered, this, &UserSettings::restoreDefaults);
    connect(&main, &MainWindow::closed, this, &UserSettings::store);
    connect(&main, &MainWindow::runStarting, this, &UserSettings::store);
}

RememberedChoices UserSettings::current() const {
    RememberedChoices c = stored_.choices;
    if (main_) {
        c.filters = main_->readSettings();
        c.normalGeometry = main_->normalGeometry();
        c.maximised = main_->isMaximized();
    }
    if (configuration_) {
        c.voltageInterval = configuration_->voltageInterval();
        c.temperatureInterval = configuration_->temperatureInterval();
    }
    c.folder = folder_.path();
    return c;
}

void UserSettings::store() {
    if (std::exchange(rewrite_, false))
        store_->clear();
    writeChoices(*store_, current());
    store_->sync();
}

void UserSettings::restoreDefaults() {
    if (main_)
        main_->showSettings(ProcessingSettings::defaults());
    if (configuration_) {
        configuration_->chooseIntervals(kInitialVoltageListIndex, kInitialTemperatureListIndex);
    }
}

QString UserSettings::unusableMessage() const {
    return QStringLiteral("Geen van de onthouden instellingen kon worden gebruikt; Veltrano "
                          "begint met de standaardwaarden.\nInstellingenbestand: %1")
        .arg(QDir::toNativeSeparators(store_->fileName()));
}

} // namespace veltrano
