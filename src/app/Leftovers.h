#pragma once

#include <QLockFile>
#include <QString>

// This program's mark in the data folder for as long as it runs. A program that starts removes
// what earlier runs left behind when they were killed or crashed (a catalogue whose creation
// was cut off, report files); it does so only when no other program runs at that moment, since
// what another program is writing may look just the same.
class RunningProgram {
public:
    RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // False when the mark could not be written (a data folder without write access); the
    // program then runs without it and removes nothing.
    bool registered() const { return m_mark.isLocked(); }

private:
    QLockFile m_mark;
};

// True when a program other than the one holding `ownMark` has its mark in the data folder.
bool OtherProgramRunning(const QString& ownMark);
// Removes unfinished catalogues (with their side files) and report files from the data folder.
void RemoveLeftovers();
