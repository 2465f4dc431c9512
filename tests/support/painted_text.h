#pragma once
// The text a widget paints, read back from its drawing: the widget is rendered onto a
// device whose engine keeps every piece of text with its place, so a test sees the lines
// as the user would, whichever way the widget draws them.
#include <QMap>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QStringList>
#include <QTextItem>
#include <QWidget>
#include <cmath>
#include <memory>

namespace qb::test {

class TextRecordingDevice : public QPaintDevice {
public:
    explicit TextRecordingDevice(QSize size) : size_(size), engine_(std::make_unique<Engine>()) {}
    QPaintEngine* paintEngine() const override { return engine_.get(); }
    // The text drawn with its baseline inside the device, one line per baseline, top down.
    QStringList lines() const {
        QMap<int, QString> by_baseline;
        for (const auto& [at, text] : engine_->pieces)
            if (at.y() > 0 && at.y() <= size_.height()) by_baseline[int(std::lround(at.y()))] += text;
        return by_baseline.values();
    }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmWidthMM: return size_.width() * 254 / 960;
        case PdmHeightMM: return size_.height() * 254 / 960;
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override {
            if (state.state() & DirtyTransform) transform = state.transform();
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            pieces.append({transform.map(p), item.text()});
        }
        Type type() const override { return QPaintEngine::User; }
        QTransform transform;
        QList<std::pair<QPointF, QString>> pieces;
    };
    QSize size_;
    std::unique_ptr<Engine> engine_;
};

// The lines of text a widget shows, top down.
inline QStringList painted_lines(QWidget* widget) {
    TextRecordingDevice device(widget->size());
    widget->render(&device, QPoint(), QRegion(), QWidget::RenderFlags());
    return device.lines();
}

} // namespace qb::test
