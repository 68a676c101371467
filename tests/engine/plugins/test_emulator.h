// test_emulator.h - an emulator that stands in for a real plug-in's: it accepts
// files with one extension, keeps one saved setting ("Value") and writes every
// call the engine makes on it into its "Calls" setting ("Pause;Resume;...").
#pragma once

#include "engine/emulator.h"

class TestEmulator : public Emu::Emulator {
public:
    TestEmulator(const wchar_t* name, const wchar_t* id, const wchar_t* extension)
        : name_(name), id_(id), extension_(extension) {}
    ~TestEmulator() override = default;

    void Stop() override { Note(L"Stop"); }
    void Reset() override { Note(L"Reset"); }
    bool RunFile(CString path) override {
        Note(L"RunFile " + path);
        settings_.set(L"LastPath", path);
        CString lower = path;
        return lower.MakeLower().Find(extension_) >= 0;
    }
    bool Execute() override { return true; }
    void Pause() override {
        Note(L"Pause");
        Emulator::Pause();
    }
    void Resume() override {
        Note(L"Resume");
        Emulator::Resume();
    }
    bool SaveState() override { return false; }
    bool HasState() override { return false; }
    bool LoadState() override { return false; }
    bool CheckState() override { return false; }
    void ShowSettings() override {}
    void LoadSettings(CRegistry& registry) override {
        settings_.set(L"Value", registry.ReadInt(L"Value", settings_.getInt(L"Value")));
    }
    void SaveSettings(CRegistry& registry) override { registry.WriteInt(L"Value", settings_.getInt(L"Value")); }
    void ResetSettings() override {
        Note(L"ResetSettings");
        settings_.set(L"Value", 7);
    }
    CString GetName() override { return name_; }
    CString GetFileFilter() override { return name_ + L" (*" + extension_ + L")|*" + extension_ + L"|"; }
    CString GetID() override { return id_; }

    // The calls noted since the last Calls().
    CString Calls() {
        CString calls = settings_.getString(L"Calls");
        settings_.set(L"Calls", CString());
        return calls;
    }

private:
    void Note(const CString& call) { settings_.set(L"Calls", settings_.getString(L"Calls") + call + L";"); }

    CString name_, id_, extension_;
};
