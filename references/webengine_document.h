#pragma once
// The live document of a QWebEnginePage for the page capture, read and written through
// the page's script bridge in a world of its own, so the page's scripts cannot see it.
#include "references/page_capture.h"

#include <QPointer>
#include <QVariant>

class QWebEnginePage;

namespace qb {

class WebEngineDocument : public CaptureDocument {
public:
    static constexpr int kScriptTimeoutMs = 15000;

    explicit WebEngineDocument(QWebEnginePage* page) : page_(page) {}
    std::optional<QStringList> picture_sources() override;
    bool set_picture_sources(const QStringList& sources) override;
    std::optional<QString> inner_html() override;
    bool has_base_address() override;

private:
    // Runs the script and waits (window events go on) for its result; nullopt on time-out
    // or when the page went away.
    std::optional<QVariant> run(const QString& script);

    QPointer<QWebEnginePage> page_;
};

} // namespace qb
