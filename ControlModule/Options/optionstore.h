#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <variant>
#include <vector>

// What a load does with a key whose stored text is empty (missing, or "key=").
enum class OptionRule {
    Plain, // the member becomes false, 0, 0.0 or ""
    Keep,  // the member keeps what it holds (its initial value until the file has one)
};

// One option of a store: its index, its key in the store's group and the member holding it.
template <class Owner>
struct OptionEntry {
    using Member = std::variant<bool Owner::*, int Owner::*, double Owner::*, QString Owner::*>;
    int index;
    const char* key;
    Member member;
    OptionRule rule = OptionRule::Plain;
};

// The values a stored option may take: a number in [low, high], or for a text a list of such
// numbers separated by commas. A load that finds anything else (but an empty text, which the
// entry's rule handles) puts fallback in the member and logs it; the file stays as it is.
struct OptionLimit {
    int index;
    double low;
    double high;
    QVariant fallback;
};

// A start-up default: written only when the file lacks the key.
struct OptionDefault {
    int index;
    QVariant value;
};

// The file side of an option store: one INI group, one mutex for the file and the members.
// Loads and saves of single options are atomic with respect to each other and to the
// accessors, because option readers and writers run on the GUI thread and on worker threads.
class OptionFile {
public:
    using Slot = std::variant<bool*, int*, double*, QString*>;

    OptionFile(const QString& iniPath, const QString& group);
    ~OptionFile();
    OptionFile(const OptionFile&) = delete;
    OptionFile& operator=(const OptionFile&) = delete;

    QString fileName() const;
    QMutex& mutex() const { return m_mutex; }

    // The keys present in the group now (takes the mutex).
    QStringList keys() const;

    // The caller holds mutex() for these.
    QVariant value(const char* key) const;
    void setValue(const char* key, const QVariant& value);
    void write(const char* key, const Slot& slot);
    void read(const char* key, const Slot& slot, OptionRule rule);
    // Writes pending changes to disk; logs and returns false when the file could not be written.
    bool sync();

    // The member conversion of OptionsIo::assign for a slot of any type.
    static void assign(const Slot& slot, const QVariant& value);
    // Puts limit's fallback in the member when the loaded value lies outside the limit.
    void keepInLimit(const char* key, const Slot& slot, const OptionLimit& limit);

private:
    QString path(const char* key) const;

    mutable QMutex m_mutex;
    const std::unique_ptr<QSettings> m_settings;
    const QString m_group;
};

// The store of one option class: its entry table over its members, saved and loaded by index.
template <class Owner>
class OptionStore : public OptionFile {
public:
    using Entry = OptionEntry<Owner>;

    template <std::size_t N>
    OptionStore(Owner* owner, const QString& iniPath, const QString& group, const Entry (&entries)[N])
        : OptionFile(iniPath, group)
        , m_owner(owner)
        , m_entries(entries)
        , m_count(N)
    {
    }

    // Null for an index outside the table.
    const Entry* entry(int index) const
    {
        // Tables run in index order without gaps; the search is the fall-back for one that does not.
        const std::ptrdiff_t offset = std::ptrdiff_t(index) - m_entries[0].index;
        if (offset >= 0 && std::size_t(offset) < m_count && m_entries[offset].index == index)
            return &m_entries[offset];
        for (std::size_t i = 0; i < m_count; ++i) {
            if (m_entries[i].index == index)
                return &m_entries[i];
        }
        return nullptr;
    }

    // Writes the member under its key and flushes the file; an index outside the table
    // writes nothing.
    void save(int index)
    {
        QMutexLocker locker(&mutex());
        if (const Entry* found = entry(index))
            write(found->key, slotOf(*found));
        sync();
    }

    // Reads the key into the member by the entry's rule and the option's limit; an index
    // outside the table reads nothing.
    void load(int index)
    {
        QMutexLocker locker(&mutex());
        const Entry* found = entry(index);
        if (!found)
            return;
        read(found->key, slotOf(*found), found->rule);
        for (const OptionLimit& limit : m_limits) {
            if (limit.index == index)
                keepInLimit(found->key, slotOf(*found), limit);
        }
    }

    // Sets the limits of options (replacing earlier ones of the same index).
    void setLimits(std::initializer_list<OptionLimit> limits)
    {
        QMutexLocker locker(&mutex());
        for (const OptionLimit& limit : limits) {
            auto same = std::find_if(m_limits.begin(), m_limits.end(),
                                     [&](const OptionLimit& l) { return l.index == limit.index; });
            if (same != m_limits.end())
                *same = limit;
            else
                m_limits.push_back(limit);
        }
    }

    // Sets and saves each default whose key the file lacks (an empty value counts as present).
    void applyDefaults(std::initializer_list<OptionDefault> defaults)
    {
        const QStringList present = keys();
        for (const OptionDefault& def : defaults) {
            const Entry* found = entry(def.index);
            if (!found || present.contains(QLatin1String(found->key)))
                continue;
            {
                QMutexLocker locker(&mutex());
                assign(slotOf(*found), def.value);
            }
            save(found->index);
        }
    }

    template <typename T>
    T get(const T& member) const
    {
        QMutexLocker locker(&mutex());
        return member;
    }

    // True when the value changed.
    template <typename T>
    bool put(T& member, const T& value)
    {
        QMutexLocker locker(&mutex());
        if (member == value)
            return false;
        member = value;
        return true;
    }

private:
    Slot slotOf(const Entry& found) const
    {
        return std::visit([this](auto member) { return Slot(&(m_owner->*member)); }, found.member);
    }

    Owner* const m_owner;
    const Entry* const m_entries;
    const std::size_t m_count;
    std::vector<OptionLimit> m_limits;
};
