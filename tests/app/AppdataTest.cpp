// The application data fetched from the sample site into the gallery, submit and tell windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Getform.h"
#include "Submitform.h"
#include "TestSupport.h"
#include "Tellform.h"
#include "Velmoraform.h"

namespace {
// Each test starts from the site's own application data and the fields emptied.
class AppData : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("VELMORA_SITE_INFO")) GTEST_SKIP() << "needs the sample site (run through CTest)";
        Site = "http://127.0.0.1:" + SiteFile("http-port");
        Get("/_test/reset");
        for (std::string* Field : AllFields()) *Field = "";
    }
    void TearDown() override {
        if (!Site.empty()) Get("/_test/reset");
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
    }
    void Get(const std::string& Path) {
        TNMHTTP Client(nullptr);
        Client.Get(Site + Path);
    }
    static std::vector<std::string*> AllFields() {
        return {&frmGet->GetClosedMsg,      &frmGet->CatListUrl,       &frmSubmit->SubmitClosedMsg,
                &frmSubmit->SubmitUrl,      &frmSubmit->FtpHost,       &frmSubmit->FtpUserId,
                &frmSubmit->FtpPassword,    &frmSubmit->FtpPort,       &frmSubmit->FtpDirectory,
                &frmTell->TellClosedMsg,    &frmTell->TellUrl};
    }
    bool Load(const std::string& Path) {
        frmVelmora->AppDataAddress = Site + Path;
        return frmVelmora->LoadAppData();
    }
    std::string Site;
};
}  // namespace

TEST_F(AppData, FillsAllElevenFieldsFromTheSite) {
    ASSERT_TRUE(Load("/programs/velmora3/application/appdata.txt"));
    EXPECT_EQ("", frmGet->GetClosedMsg);
    EXPECT_EQ(Site + "/programs/velmora3/gallery/categories.txt", frmGet->CatListUrl);
    EXPECT_EQ("", frmSubmit->SubmitClosedMsg);
    EXPECT_EQ(Site + "/cgi-bin/velmora3/submit.cgi", frmSubmit->SubmitUrl);
    EXPECT_EQ("127.0.0.1", frmSubmit->FtpHost);
    EXPECT_EQ("velmora", frmSubmit->FtpUserId);
    EXPECT_EQ("skins", frmSubmit->FtpPassword);
    EXPECT_EQ(SiteFile("ftp-port"), frmSubmit->FtpPort);
    EXPECT_EQ("/incoming", frmSubmit->FtpDirectory);
    EXPECT_EQ("", frmTell->TellClosedMsg);
    EXPECT_EQ(Site + "/cgi-bin/velmora3/tell.cgi", frmTell->TellUrl);

    // A feature closed by the site: its message arrives with the next download.
    Get("/_test/set?GETCLOSED_MSG=The%20gallery%20is%20closed%20today.");
    ASSERT_TRUE(Load("/programs/velmora3/application/appdata.txt"));
    EXPECT_EQ("The gallery is closed today.", frmGet->GetClosedMsg);
}

TEST_F(AppData, AFileWithoutTheKeysEmptiesEveryField) {
    ASSERT_TRUE(Load("/programs/velmora3/application/appdata.txt"));
    ASSERT_TRUE(Load("/programs/velmora3/gallery/categories.txt"));
    for (std::string* Field : AllFields()) EXPECT_EQ("", *Field);
}

TEST_F(AppData, NothingReceivedKeepsThePreviousValues) {
    ASSERT_TRUE(Load("/programs/velmora3/application/appdata.txt"));
    const std::string Tell = frmTell->TellUrl;
    ASSERT_FALSE(Tell.empty());
    EXPECT_FALSE(Load("/_test/status/404"));
    EXPECT_FALSE(Load("/_test/cut/4000"));
    EXPECT_FALSE(Load("/_test/loop"));
    frmVelmora->AppDataAddress = "http://127.0.0.1:1/programs/velmora3/application/appdata.txt";
    EXPECT_FALSE(frmVelmora->LoadAppData());
    frmVelmora->AppDataAddress = "http://nonexistent.invalid/appdata.txt";
    EXPECT_FALSE(frmVelmora->LoadAppData());
    // Aborted while the reply trickles in, as a status dialog's Abort does.
    RunLater(300, [] { frmVelmora->http->Abort(); });
    EXPECT_FALSE(Load("/_test/slow/100000/50"));
    EXPECT_EQ(Tell, frmTell->TellUrl);
    EXPECT_EQ(Site + "/programs/velmora3/gallery/categories.txt", frmGet->CatListUrl);
}
