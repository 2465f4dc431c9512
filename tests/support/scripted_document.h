#pragma once
// A live document for the page capture without a browser: picture sources as given, and
// an inner HTML in which "{i}" stands for picture i's src as the capture set it.
#include "references/page_capture.h"

namespace qb::test {

class ScriptedDocument : public CaptureDocument {
public:
    std::optional<QStringList> picture_sources() override { return sources; }
    bool set_picture_sources(const QStringList& s) override {
        written_sources = s;
        return true;
    }
    std::optional<QString> inner_html() override {
        QString html = body;
        for (int i = 0; i < written_sources.size(); ++i) html.replace(QStringLiteral("{%1}").arg(i), written_sources[i]);
        return html;
    }
    bool has_base_address() override { return base; }
    QStringList sources;
    QStringList written_sources;
    QString body;
    bool base = false;
};

} // namespace qb::test
