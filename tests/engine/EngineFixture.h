// A sandbox for the update engine: a program folder with its own Tool.ini,
// an installation folder, a package folder as working folder, and a product
// key of the test's own in the registry, all removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "UpdateEngine.h"

namespace ts = testsupport;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Tool.ini (once per test): [APP_CONFIG] pointing at the test's
    // product key, followed by Extra (further lines, sections).
    void UseToolIni(const std::string& Extra = std::string());
    // Product key path as Tool.ini gives it: "\SOFTWARE\VornixTest\<unique>\".
    std::string ProductKeySetting() const { return "\\" + key_ + "\\"; }
    const std::string& ProductKey() const { return key_; }

    // Records the installation folder (InstallLocation) in the product key.
    void Install(const std::string& Location);
    void Install() { Install(install.Path()); }
    void SetRegistryText(const char* Name, const std::string& Value);
    void SetRegistryDword(const char* Name, DWORD Value);
    // The text of a value, "<absent>" when it is not there, "<no key>".
    std::string RegistryText(const char* Name) const;
    bool ProductKeyExists() const;

    ts::TempDir program;  // where Tool.ini lies
    ts::TempDir install;  // the installed product
    ts::TempDir package;  // the working folder with the package files

private:
    std::string key_;
    std::string savedFolder_;
};
