#pragma once

#include <QString>

#include <vector>

// A note, in the user's state folder, of each trial copy this user's processes are making or
// using, so that the copies of a killed process are found and removed later even on a server:
// one small file per copy, holding its owner process, the database and the copy.
class TrialCopyRegistry {
public:
    struct Entry {
        QString database;    // the database as the user named it
        QString copy;        // the copy's name, server part included
        bool locked = false; // the database is in backup mode while the copy is made
    };
    struct Leftover {
        QString key;
        Entry entry;
    };

    explicit TrialCopyRegistry(const QString &folder);
    // $XDG_STATE_HOME/BriselScripts/ensaios (~/.local/state/...), shared by the program and the
    // command-line client.
    static TrialCopyRegistry standard();
    const QString &folder() const { return m_folder; }

    // A name for a new copy of this process, unique among its copies: "brisel-ensaio-PID-N.fdb".
    static QString newCopyFileName();

    // Records an entry of this process and returns its key. Throws Exception when the folder
    // cannot be written: a copy that could not be found again is not made.
    QString add(const Entry &entry) const;
    void update(const QString &key, const Entry &entry) const;
    void remove(const QString &key) const;

    // The entries of processes that have ended, each taken for the caller alone (another process
    // cleaning up at the same time does not get it). Give back the ones not cleaned up.
    std::vector<Leftover> claimLeftovers() const;
    void giveBack(const Leftover &leftover) const;

private:
    QString write(const QString &fileName, const Entry &entry) const;

    QString m_folder;
};
