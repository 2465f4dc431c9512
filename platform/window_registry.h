#pragma once
// Each window exists once: created on first use, reached by name, released when unloaded.
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace qb {

class WindowRegistry {
public:
    using Factory = std::function<QWidget*()>;

    void register_window(const QString& name, Factory factory) { factories_.insert(name, std::move(factory)); }

    // Creates the window on first use.
    QWidget* get(const QString& name) {
        QPointer<QWidget>& w = loaded_[name];
        if (!w) {
            auto f = factories_.constFind(name);
            if (f == factories_.constEnd()) return nullptr;
            w = (*f)();
        }
        return w;
    }
    template <typename T> T* get_as(const QString& name) { return qobject_cast<T*>(get(name)); }

    // Does not load the window.
    bool is_form_loaded(const QString& name) const {
        auto it = loaded_.constFind(name);
        return it != loaded_.constEnd() && !it->isNull();
    }

    void unload(const QString& name) {
        auto it = loaded_.find(name);
        if (it == loaded_.end()) return;
        QPointer<QWidget> w = *it;
        loaded_.erase(it);
        delete w.data();
    }

    QStringList loaded_names() const {
        QStringList names;
        for (auto it = loaded_.constBegin(); it != loaded_.constEnd(); ++it)
            if (!it->isNull()) names << it.key();
        return names;
    }

private:
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> loaded_;
};

} // namespace qb
