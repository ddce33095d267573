#include "platform/MailCodes.h"
#include "platform/MailSender.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vm {

namespace {

// libcurl wants its global set-up once before any handle; doing it on first use keeps the
// program free of a start-up step it would have to remember.
void InitCurlOnce()
{
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    (void)done;
}

struct TCurlDeleter
{
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct TListDeleter
{
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct TUpload
{
    const std::string* data;
    size_t offset = 0;
};

size_t ReadUpload(char* buffer, size_t size, size_t count, void* user)
{
    auto* up = static_cast<TUpload*>(user);
    size_t n = std::min(size * count, up->data->size() - up->offset);
    std::memcpy(buffer, up->data->data() + up->offset, n);
    up->offset += n;
    return n;
}

// TLS on an smtps:// address, or when the profile asks for it on an smtp:// one.
std::string UrlFor(const TMailProfile& p)
{
    std::string url = p.Url;
    if (p.Security == TMailSecurity::Tls && url.compare(0, 7, "smtp://") == 0)
        url = "smtps://" + url.substr(7);
    return url;
}

int CodeFor(CURLcode rc, const std::string& detail)
{
    switch (rc) {
    case CURLE_OK:
        return SUCCESS_SUCCESS;
    case CURLE_LOGIN_DENIED:
    case CURLE_AUTH_ERROR:
        return MAPI_E_LOGIN_FAILURE;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_USE_SSL_FAILED:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
        return MAPI_E_NETWORK_FAILURE;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return MAPI_E_NOT_SUPPORTED;
    default:
        // libcurl reports a refused RCPT TO as "RCPT failed: <code>".
        return detail.find("RCPT") != std::string::npos ? MAPI_E_UNKNOWN_RECIPIENT : MAPI_E_FAILURE;
    }
}

using TDeadline = std::chrono::steady_clock::time_point;

// Ends the transfer's handle by the deadline. libcurl says goodbye (QUIT) when the handle goes and
// waits for the answer up to a limit of its own (two minutes), whatever the transfer's timeout:
// a server that stopped answering would hold the run that long. So the connection is shut down at
// the deadline, or at once when the transfer failed (the server is not to be waited for again);
// the goodbye then ends as soon as it finds the connection closed.
void CleanUpBy(std::unique_ptr<CURL, TCurlDeleter> curl, CURLcode rc, TDeadline deadline)
{
    curl_socket_t active = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(curl.get(), CURLINFO_ACTIVESOCKET, &active) != CURLE_OK ||
        active == CURL_SOCKET_BAD)
        return; // no connection is left to say goodbye on
    // A second descriptor of the socket stays valid for the watch whenever libcurl closes its own.
    const int watched = ::dup(active);
    if (watched < 0)
        return;
    if (rc != CURLE_OK || std::chrono::steady_clock::now() >= deadline)
        ::shutdown(watched, SHUT_RDWR);
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
    std::thread watch([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!done.wait_until(lock, deadline, [&] { return ended; }))
            ::shutdown(watched, SHUT_RDWR);
    });
    curl.reset();
    {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
    }
    done.notify_one();
    watch.join();
    ::close(watched);
}

} // namespace

bool SmtpSupported()
{
    InitCurlOnce();
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    for (const char* const* p = info->protocols; p && *p; ++p)
        if (std::strcmp(*p, "smtp") == 0)
            return true;
    return false;
}

TMailSendResult SendSmtp(const TMailProfile& profile, const TOutgoingMail& mail,
                         const std::string& message)
{
    InitCurlOnce();
    const TDeadline deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(profile.TimeoutSeconds);
    std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl)
        return {MAPI_E_INSUFFICIENT_MEMORY, "libcurl could not start a transfer"};
    CURL* c = curl.get();
    std::unique_ptr<curl_slist, TListDeleter> rcpt;
    for (const auto* list : {&mail.To, &mail.CC, &mail.Bcc})
        for (const TMailAddress& a : *list)
            rcpt.reset(curl_slist_append(rcpt.release(), ("<" + a.Mailbox + ">").c_str()));
    TUpload upload{&message};
    char error[CURL_ERROR_SIZE] = "";
    std::string url = UrlFor(profile);
    std::string from = "<" + mail.From.Mailbox + ">";

    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, std::min(30L, profile.TimeoutSeconds));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, profile.TimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_USE_SSL,
                     profile.Security == TMailSecurity::StartTls ? long(CURLUSESSL_ALL)
                                                                 : long(CURLUSESSL_NONE));
    if (!profile.CACert.empty())
        curl_easy_setopt(c, CURLOPT_CAINFO, profile.CACert.c_str());
    if (!profile.User.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, profile.User.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, profile.Password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(c, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);

    CURLcode rc = curl_easy_perform(c);
    std::string detail = rc == CURLE_OK ? "" : error[0] ? error : curl_easy_strerror(rc);
    CleanUpBy(std::move(curl), rc, deadline);
    if (rc == CURLE_OK)
        return {SUCCESS_SUCCESS, ""};
    return {CodeFor(rc, detail), "Mail to " + profile.Url + " failed: " + detail};
}

TMailSendResult SendOverTransport(const TMailProfile& profile, const TOutgoingMail& mail)
{
    if (!profile.Usable())
        return {MAPI_E_LOGIN_FAILURE,
                "The mail profile \"" + profile.Name + "\" cannot send: " + profile.Problem};
    bool command = profile.Transport == TMailTransport::Sendmail;
    TOutgoingMail m = mail;
    if (command) {
        for (const std::string& w : SplitCommand(profile.Command))
            m.WriteBccHeader = m.WriteBccHeader || w == "-t";
    }
    std::string message;
    try {
        message = BuildMessage(m, NewMessageStamp());
    } catch (const std::invalid_argument& e) {
        return {MAPI_E_FAILURE, e.what()};
    }
    if (command)
        return SendWithCommand(profile, m, message);
    if (!SmtpSupported())
        return {MAPI_E_NOT_SUPPORTED, "This libcurl cannot send mail over SMTP"};
    return SendSmtp(profile, m, message);
}

} // namespace vm
