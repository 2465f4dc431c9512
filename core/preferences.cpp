#include "core/core.h"
#include "core/codepage.h"
#include "core/file_io.h"
#include "core/text_colors.h"
#include "core/text_helpers.h"

#include "core/save_file.h"

namespace qb {
namespace {

struct DefaultLink {
    const char* caption;
    const char* link;
    const char* desc;
};

// Links 1 to 5 carry no scheme, as the older files stored them.
const DefaultLink kDefaultLinks[15] = {
    {"Company SEC Filings", "www.sec.gov/edgar/searchedgar/companysearch.html",
     "Companies file reports with the SEC after every quarter (Called a 10-Q), and at the end of the year (a 10-K). "
     "Note, you must search on the Company NAME not the stock symbol."},
    {"Stock Screener", "finance.yahoo.com/screener",
     "Screening tools are strictly numerical based.  These tools can be used to give you some ideas, but never buy "
     "just based on the output."},
    {"Yahoo Research", "finance.yahoo.com",
     "Yahoo is a great source for quotes, news, and analyst ratings for your stocks."},
    {"Fidelity Investments", "www.fidelity.com",
     "A respected on-line brokerage. You can make stock trades using their services."},
    {"Quorbelix", "www.quorbelix.com", "Check for new checklists, upgrades, and more!"},
    {"Microsoft MSN Money", "http://www.msn.com/en-us/money/markets",
     "Good site for news and research. Check out the Stock Scouter rating for your stocks."},
    {"Zacks Research", "http://www.zacks.com",
     "Finacial news and research site. Contains a list of #1 rated stocks (buy), and #5 rated stocks (sell)."},
    {"Smart Money", "http://www.smartmoney.com",
     "Companion site to the magazine. Some info is free, but they also charge extra for premium content."},
    {"NASDAQ", "http://www.nasdaq.com",
     "Get quotes and news. Contains Investor tools such as a stock screener and live quotes."},
    {"Bloomberg", "http://www.bloomberg.com", "News and quotes. Many profesional traders use Bloomberg software."},
    {"Motley Fool", "http://www.fool.com",
     "Focus on individual investors. Some content free, but alot you must subscribe to."},
    {"CBS Market Watch", "http://www.marketwatch.com",
     "Contains lots of news, quotes, and personal finance information."},
    {"Mornignstar", "http://www.morningstar.com", "News, quotes, and investor tools."},
    {"Clear Station", "http://www.clearstation.com", "News, quotes, and charts."},
    {"Stock Garden", "http://www.stockgarden.com", "Stock Garden provides various stock screens."},
};

QString link_items(int i, const QString& caption, const QString& link, const QString& desc) {
    const QString n = QString::number(i);
    return make_tag("button" + n, caption) + make_tag("link" + n, link) + make_tag("desc" + n, desc);
}

QString yes_no(const QString& stored) { return stored.toLower() == u"n" ? QStringLiteral("n") : QStringLiteral("y"); }

constexpr qint64 kMaxPreferencesBytes = 1 << 20;

} // namespace

void Core::append_default_custom_links() {
    for (int i = 6; i <= 15; ++i) {
        const DefaultLink& d = kDefaultLinks[i - 1];
        custom_links += link_items(i, d.caption, d.link, d.desc);
    }
}

void Core::set_default_custom_links() {
    custom_links = make_tag("numlinks", "15");
    for (int i = 1; i <= 5; ++i) {
        const DefaultLink& d = kDefaultLinks[i - 1];
        custom_links += link_items(i, d.caption, d.link, d.desc);
    }
    append_default_custom_links();
}

void Core::load_preferences() {
    QFile f(data_path(pref_filename));
    // A preferences file is a few kilobytes; a huge one would stall the start for nothing.
    // What is no regular file (a FIFO, a device) is not read at all.
    QString refused;
    if (open_file(f, QIODevice::ReadOnly)) {
        if (f.size() > kMaxPreferencesBytes) refused = QStringLiteral("the file is too large");
    } else if (!not_regular_at(f.fileName()).isEmpty()) {
        refused = last_file_error();
    }
    if (!f.isOpen() || !refused.isEmpty()) {
        if (!refused.isEmpty()) {
            preferences_refused = true;
            show_message(msg_error, QStringLiteral("Failure to read Preferences (Pref.dat file). Error: ") + refused +
                                        QStringLiteral(". The default preferences are used until you save yours."));
        }
        chartperiod = "1 Year";
        charttrans1 = "Buy";
        charttrans2 = "Sell";
        charttrans3 = "Call Notes";
        return;
    }
    preferences_refused = false;
    const QString text = decode_cp1252(f.readAll());
    f.close();
    auto tag = [&](const char* key) { return get_tag(QString::fromLatin1(key), text); };

    tiponstartup = yes_no(tag("tiponstartup"));
    const QString tip = tag("nexttipindex");
    const double tipv = numeric_value(tip);
    nexttipindex = (tipv < 0 || tipv > kMaxTipIndex) ? QStringLiteral("0") : tip;
    touronstartup = yes_no(tag("touronstartup"));

    textcolor = "Blue";
    textcolor_value = kColorBlue;
    const QString color = tag("textcolor");
    if (!color.isEmpty()) {
        textcolor = color;
        if (auto v = text_color_value(color)) textcolor_value = *v;
    }

    const QString websec = tag("websec");
    if (!websec.isEmpty()) {
        custom_links = make_tag("numlinks", "15") +
                       link_items(1, "Company SEC Filings", websec, tag("websec_desc")) +
                       link_items(2, "Stock Screener", tag("webscreen"), tag("webscreen_desc")) +
                       link_items(3, "Yahoo Research", tag("webcompany"), tag("webcompany_desc")) +
                       link_items(4, "Quicken Research", tag("websnapshot"), tag("websnapshot_desc")) +
                       link_items(5, "My Favorite", tag("webfav"), tag("webfav_desc"));
        append_default_custom_links();
    }
    const QString links = tag("custom_links");
    if (!links.isEmpty()) custom_links = links;

    trans_type.clear();
    const QString types = tag("trans_type");
    if (!types.isEmpty()) string_to_collection(types, trans_type);

    quotes = tag("quotes");
    chartperiod = tag("chartperiod");
    if (chartperiod.isEmpty()) chartperiod = "1 Year";
    charttrans1 = tag("charttrans1");
    if (charttrans1.isEmpty()) charttrans1 = "Buy";
    charttrans2 = tag("charttrans2");
    if (charttrans2.isEmpty()) charttrans2 = "Sell";
    charttrans3 = tag("charttrans3");
    if (charttrans3.isEmpty()) charttrans3 = "Call Notes";
}

bool Core::save_preferences(bool chosen_by_user) {
    // A refused file stays as it is until the user saves preferences himself.
    if (preferences_refused && !chosen_by_user) return true;
    if (restore_left_unfinished()) return false;
    QString text = make_tag("tiponstartup", trim_blanks(tiponstartup)) +
                   make_tag("nexttipindex", trim_blanks(nexttipindex)) +
                   make_tag("touronstartup", trim_blanks(touronstartup)) + make_tag("textcolor", trim_blanks(textcolor)) +
                   make_tag("custom_links", trim_blanks(custom_links));
    if (!trans_type.isEmpty()) text += make_tag("trans_type", trim_blanks(trans_type.join(u',')));
    text += make_tag("quotes", quotes) + make_tag("chartperiod", chartperiod) + make_tag("charttrans1", charttrans1) +
            make_tag("charttrans2", charttrans2) + make_tag("charttrans3", charttrans3) + QStringLiteral("\r\n");

    // Written whole through a temporary file, so a failed write leaves the old one.
    QString why;
    if (!save_whole_file(data_path(pref_filename), encode_cp1252(text), &why)) {
        show_message(msg_error, QStringLiteral("Failure to save Preferences (Pref.dat file). Error: ") + why);
        return false;
    }
    preferences_refused = false;
    return true;
}

} // namespace qb
