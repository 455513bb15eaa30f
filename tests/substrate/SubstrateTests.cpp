#include <foundation/PlistWriter.h>
#include <foundation/SystemLog.h>
#include <substrate/ExtensionLoader.h>
#include <substrate/Substrate.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace runtime;

class SubstrateProbeTarget : public Object {
    PLV_CLASS(SubstrateProbeTarget, Object)
public:
    static void registerMethods(ClassBuilder<SubstrateProbeTarget>& b)
    {
        b.method("answer", [](SubstrateProbeTarget&) -> int64_t { return 42; });
        b.method("describe:", [](SubstrateProbeTarget&, const std::string& text) -> std::string { return "<" + text + ">"; });
    }
};

foundation::PlistValue filterFor(std::initializer_list<const char*> bundles, const char* key = "Bundles")
{
    foundation::PlistArray list;
    for (auto* bundle : bundles)
        list.push_back(bundle);
    foundation::PlistDictionary filter;
    filter.set(key, list);
    return filter;
}

TEST(SubstrateFilter, NamesTheHostByBundleExecutableOrClass)
{
    substrate::HostProcess springBoard;
    EXPECT_TRUE(substrate::filterNamesHost(filterFor({ "com.apple.mobilemail", "com.apple.springboard" }), springBoard));
    EXPECT_FALSE(substrate::filterNamesHost(filterFor({ "com.apple.mobilemail" }), springBoard));
    EXPECT_FALSE(substrate::filterNamesHost(filterFor({ "com.apple.SpringBoard" }), springBoard)) << "bundle identifiers compare exactly";
    EXPECT_TRUE(substrate::filterNamesHost(filterFor({ "SpringBoard" }, "Executables"), springBoard));
    SubstrateProbeTarget::classObject();
    EXPECT_TRUE(substrate::filterNamesHost(filterFor({ "NoSuchClass", "SubstrateProbeTarget" }, "Classes"), springBoard));
    EXPECT_FALSE(substrate::filterNamesHost(filterFor({ "NoSuchClass" }, "Classes"), springBoard));
}

TEST(SubstrateFilter, MalformedFiltersNameNobody)
{
    substrate::HostProcess springBoard;
    EXPECT_FALSE(substrate::filterNamesHost(foundation::PlistValue("com.apple.springboard"), springBoard));
    foundation::PlistDictionary wrongType;
    wrongType.set("Bundles", "com.apple.springboard");
    EXPECT_FALSE(substrate::filterNamesHost(wrongType, springBoard)) << "Bundles must be a list";
    foundation::PlistDictionary mixed;
    mixed.set("Bundles", foundation::PlistArray { 7, foundation::PlistArray {}, "com.apple.springboard" });
    EXPECT_TRUE(substrate::filterNamesHost(mixed, springBoard)) << "entries that are not strings are passed over";
}

int64_t (*s_typedOriginal)(Object*, Sel);
int64_t typedReplacement(Object* self, Sel selector) { return -s_typedOriginal(self, selector); }
std::string (*s_wrongOriginal)(Object*, Sel);
std::string wrongReplacement(Object*, Sel) { return "wrong"; }

TEST(SubstrateHook, TheTypedSpellingChecksTheSignature)
{
    Class* cls = SubstrateProbeTarget::classObject();
    MSHookMessageEx(cls, "describe:", &wrongReplacement, &s_wrongOriginal);
    EXPECT_EQ(s_wrongOriginal, nullptr) << "a replacement of another signature is refused";
    EXPECT_EQ(send<std::string>(make<SubstrateProbeTarget>(), "describe:", "x"), "<x>");
    EXPECT_TRUE(foundation::SystemLog::shared().contains("Substrate: cannot hook -[SubstrateProbeTarget describe:]: signature mismatch"));

    MSHookMessageEx(static_cast<Class*>(nullptr), "answer", &typedReplacement, &s_typedOriginal);
    EXPECT_EQ(s_typedOriginal, nullptr);
    MSHookMessageEx(cls, "noSuchSelector", reinterpret_cast<Imp>(&typedReplacement), reinterpret_cast<Imp*>(&s_typedOriginal));
    EXPECT_EQ(s_typedOriginal, nullptr) << "a missing selector leaves the slot alone";
}

class SubstrateLoader : public ::testing::Test {
protected:
    void SetUp() override { SubstrateProbeTarget::classObject(); }

    void install(const std::string& name, std::optional<foundation::PlistValue> filter)
    {
        std::string folder(substrate::DynamicLibrariesFolder);
        m_device.makeDirectory(folder);
        std::filesystem::copy_file(PROBE_EXTENSION_PATH, m_device.host(folder + "/" + name + ".so"));
        if (filter) {
            foundation::PlistDictionary plist;
            plist.set("Filter", *filter);
            m_device.write(folder + "/" + name + ".plist", foundation::writeXmlPlist(plist));
        }
    }

    testsupport::TemporaryDevice m_device;
};

TEST_F(SubstrateLoader, LoadsOnlyLibrariesWhoseFilterNamesSpringBoardAndRunsTheirConstructors)
{
    install("BProbe", filterFor({ "com.apple.springboard" }));
    install("AOther", filterFor({ "com.apple.mobilemail" }));
    install("CNoFilter", std::nullopt);
    m_device.write(std::string(substrate::DynamicLibrariesFolder) + "/Readme.txt", "not a library");

    int64_t before = send<int64_t>(make<SubstrateProbeTarget>(), "answer");
    auto report = substrate::loadExtensions();

    EXPECT_EQ(report.loaded, std::vector<std::string> { "BProbe.so" });
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_EQ(report.skipped[0].library, "AOther.so");
    EXPECT_EQ(report.skipped[0].reason, "the filter does not name com.apple.springboard");
    EXPECT_EQ(report.skipped[1].library, "CNoFilter.so");
    EXPECT_EQ(report.skipped[1].reason, "no filter property list");
    EXPECT_EQ(send<int64_t>(make<SubstrateProbeTarget>(), "answer"), before + 1000) << "the constructor hooked the method";
    EXPECT_TRUE(foundation::SystemLog::shared().contains("probe extension constructor"));
    auto paths = substrate::loadedExtensionPaths();
    EXPECT_NE(std::find(paths.begin(), paths.end(), "/Library/MobileSubstrate/DynamicLibraries/BProbe.so"), paths.end());
}

TEST_F(SubstrateLoader, ABrokenLibraryIsSkippedAndTheOthersStillLoad)
{
    std::string folder(substrate::DynamicLibrariesFolder);
    m_device.write(folder + "/ABroken.so", "this is not an ELF file");
    foundation::PlistDictionary plist;
    plist.set("Filter", filterFor({ "com.apple.springboard" }));
    m_device.write(folder + "/ABroken.plist", foundation::writeXmlPlist(plist));
    m_device.write(folder + "/BGarbled.plist", "<plist><dict><key>Filter");
    install("BGarbled", std::nullopt);
    install("CProbe", filterFor({ "com.apple.springboard" }));

    auto report = substrate::loadExtensions();
    EXPECT_EQ(report.loaded, std::vector<std::string> { "CProbe.so" });
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_EQ(report.skipped[0].library, "ABroken.so");
    EXPECT_EQ(report.skipped[1].library, "BGarbled.so");
    EXPECT_NE(report.skipped[1].reason.find("unreadable filter"), std::string::npos) << report.skipped[1].reason;
}

TEST_F(SubstrateLoader, NoFolderLoadsNothing)
{
    auto report = substrate::loadExtensions();
    EXPECT_TRUE(report.loaded.empty());
    EXPECT_TRUE(report.skipped.empty());
}

} // namespace
