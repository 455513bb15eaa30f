#include "MFMailComposeView.h"

#include <uikit/UIColor.h>
#include <uikit/UIFont.h>

namespace messageui {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    constexpr double LineHeight = 44;
    constexpr double LabelWidth = 64;

    std::string sizeText(size_t bytes)
    {
        if (bytes < 1024)
            return std::to_string(bytes) + " bytes";
        if (bytes < 1024 * 1024)
            return std::to_string((bytes + 512) / 1024) + " KB";
        return std::to_string((bytes + 512 * 1024) / (1024 * 1024)) + " MB";
    }

} // namespace

std::string recipientLine(const std::vector<std::string>& recipients)
{
    std::string line;
    for (const auto& recipient : recipients) {
        if (!line.empty())
            line += ", ";
        line += recipient;
    }
    return line;
}

std::vector<std::string> recipientsOfLine(std::string_view line) { return mail::splitAddressList(line); }

Ref<UITextField> MFMailComposeView::addLine(const char* label, const char* name, double y, double width, const Id& delegate)
{
    auto title = makeView<UILabel>(CGRectMake(8, y, LabelWidth - 8, LineHeight));
    title->setText(label);
    title->setTextColor(UIColor::grayColor());
    title->setBackgroundColor(UIColor::clearColor());
    title->setFont(UIFont::systemFontOfSize(15));
    addSubview(title);
    auto field = makeView<UITextField>(CGRectMake(LabelWidth, y, width - LabelWidth - 8, LineHeight));
    field->setName(std::string(name));
    field->setFont(UIFont::systemFontOfSize(15));
    field->addTarget(delegate, "fieldChanged:", UIControlEventEditingChanged);
    addSubview(field);
    return field;
}

void MFMailComposeView::build(double width, const Id& delegate)
{
    setBackgroundColor(UIColor::whiteColor());
    m_toField = addLine("To:", "mailToField", 0, width, delegate);
    m_ccField = addLine("Cc:", "mailCcField", LineHeight, width, delegate);
    m_bccField = addLine("Bcc:", "mailBccField", 2 * LineHeight, width, delegate);
    m_subjectField = addLine("Subject:", "mailSubjectField", 3 * LineHeight, width, delegate);
    m_bodyView = makeView<UITextView>(CGRectMake(0, 4 * LineHeight, width, bounds().size.height - 4 * LineHeight));
    m_bodyView->setName("mailBodyView");
    m_bodyView->setFont(UIFont::systemFontOfSize(15));
    m_bodyView->setDelegate(delegate);
    addSubview(m_bodyView);
}

void MFMailComposeView::showHeaders(const mail::MailMessage& message)
{
    if (!m_toField)
        return;
    m_toField->setText(recipientLine(message.to));
    m_ccField->setText(recipientLine(message.cc));
    m_bccField->setText(recipientLine(message.bcc));
    m_subjectField->setText(message.subject);

    for (auto& line : m_attachmentLines)
        line->removeFromSuperview();
    m_attachmentLines.clear();
    double width = bounds().size.width;
    double bottom = bounds().size.height;
    for (auto it = message.attachments.rbegin(); it != message.attachments.rend(); ++it) {
        bottom -= 24;
        auto line = makeView<UILabel>(CGRectMake(8, bottom, width - 16, 24));
        line->setName("mailAttachment");
        line->setText(mail::safeFileName(it->fileName) + " (" + sizeText(it->data.size()) + ")");
        line->setFont(UIFont::systemFontOfSize(13));
        line->setTextColor(UIColor::darkGrayColor());
        addSubview(line);
        m_attachmentLines.insert(m_attachmentLines.begin(), line);
    }
    CGRect body = m_bodyView->frame();
    body.size.height = std::max(0.0, bottom - body.origin.y);
    m_bodyView->setFrame(body);
}

void MFMailComposeView::showBody(const mail::MailMessage& message)
{
    if (m_bodyView)
        m_bodyView->setText(message.body);
}

} // namespace messageui
