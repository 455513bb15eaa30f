// A bulletin: what an application posts to tell the user something (a new
// message, a new mail), shown as a banner, a notification-centre row and a
// lock-screen cell. Its default action says what a tap on it opens: a launch
// URL and the application that handles it. The record id is the posting
// application's own id of the item, as a decimal string.
#pragma once

#include <runtime/Runtime.h>

#include <optional>
#include <string>

namespace springboard {

class BBAction : public runtime::Object {
    PLV_CLASS(BBAction, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<BBAction>&);

    static runtime::Ref<BBAction> withLaunchURL(std::string url, std::string bundleID);

    const std::string& launchURL() const { return m_launchURL; }
    void setLaunchURL(std::string url) { m_launchURL = std::move(url); }
    const std::string& bundleID() const { return m_bundleID; }
    void setBundleID(std::string bundleID) { m_bundleID = std::move(bundleID); }
    // An action that opens its URL; one without a URL only opens its application.
    bool isURLLaunchAction() const { return !m_launchURL.empty(); }

private:
    std::string m_launchURL;
    std::string m_bundleID;
};

class BBBulletin : public runtime::Object {
    PLV_CLASS(BBBulletin, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<BBBulletin>&);

    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const std::string& subtitle() const { return m_subtitle; }
    void setSubtitle(std::string subtitle) { m_subtitle = std::move(subtitle); }
    const std::string& message() const { return m_message; }
    void setMessage(std::string message) { m_message = std::move(message); }
    const std::string& sectionID() const { return m_sectionID; }
    void setSectionID(std::string sectionID) { m_sectionID = std::move(sectionID); }
    const std::string& recordID() const { return m_recordID; }
    void setRecordID(std::string recordID) { m_recordID = std::move(recordID); }
    // The bulletin board's own id, given when the bulletin is published.
    const std::string& bulletinID() const { return m_bulletinID; }
    void setBulletinID(std::string bulletinID) { m_bulletinID = std::move(bulletinID); }

    // The topic; throws runtime::ObjCException after raiseOnTopic(), as a
    // bulletin of a broken publisher does on the phone.
    std::string topic() const;
    void setTopic(std::string topic) { m_topic = std::move(topic); }
    void raiseOnTopic(std::string reason) { m_topicRaises = std::move(reason); }

    runtime::Ref<BBAction> defaultAction() const { return m_defaultAction; }
    void setDefaultAction(runtime::Ref<BBAction> action) { m_defaultAction = std::move(action); }

    // When the bulletin was published, in seconds on the main run loop's
    // clock, and the order of publication (newest has the highest).
    double date() const { return m_date; }
    uint64_t sequence() const { return m_sequence; }
    void markPublished(double date, uint64_t sequence)
    {
        m_date = date;
        m_sequence = sequence;
    }

    std::string description() const override;

private:
    std::string m_title;
    std::string m_subtitle;
    std::string m_message;
    std::string m_sectionID;
    std::string m_recordID;
    std::string m_bulletinID;
    std::string m_topic;
    std::optional<std::string> m_topicRaises;
    runtime::Ref<BBAction> m_defaultAction;
    double m_date { 0 };
    uint64_t m_sequence { 0 };
};

} // namespace springboard
