#include "core/service_hosts.h"

#include "core/core.h"

#include <QRegularExpression>

namespace qb::service_hosts {
namespace {

Hosts& hosts() {
    static Hosts h;
    return h;
}

} // namespace

const Hosts& current() { return hosts(); }

bool is_host_and_port(const QString& text) {
    static const QRegularExpression form(QStringLiteral(
        "^(?:(?:[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*"
        "|\\[[0-9A-Fa-f:.]+\\])(?::([0-9]{1,5}))?$"));
    if (text.size() > 253 + 6) return false;
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return false;
    if (!m.captured(1).isEmpty()) {
        const int port = m.captured(1).toInt();
        if (port < 1 || port > 65535) return false;
    }
    return true;
}

void read_from_environment(Core& c) {
    const Hosts built_in;
    Hosts& h = hosts();
    const struct {
        const char* variable;
        QString Hosts::*host;
    } kVariables[] = {
        {"QUORBELIX_QUOTE_HOST", &Hosts::quote_primary},
        {"QUORBELIX_QUOTE_HOST2", &Hosts::quote_second},
        {"QUORBELIX_NEWS_HOST", &Hosts::headlines},
        {"QUORBELIX_HISTORY_HOST", &Hosts::price_history},
        {"QUORBELIX_STOCKIDEA_HOST", &Hosts::stock_idea},
    };
    for (const auto& v : kVariables) {
        h.*v.host = built_in.*v.host;
        const QString value = qEnvironmentVariable(v.variable).trimmed();
        if (value.isEmpty()) continue;
        if (is_host_and_port(value)) {
            h.*v.host = value;
            continue;
        }
        // Logged only: a box at every start would not help the user more than the log.
        c.append_log(QStringLiteral("Warning: ") + QString::fromLatin1(v.variable) + QStringLiteral(" is not host[:port]: \"") +
                     value + QStringLiteral("\". Using ") + built_in.*v.host);
    }
}

} // namespace qb::service_hosts
