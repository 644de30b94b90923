#pragma once

// The auto reports agent's and the mail client's fixed texts, byte for byte.
namespace agent_texts {
// Mail dialogue log entries: kind A entries are followed by the system's error text, kind B
// entries are prefixed with MailErrorPrefix and followed by the server's reply.
inline constexpr const char* MailErrorPrefix = "ERROR: QMX Auto Reports: ";
inline constexpr const char* SocketCreationFailed = "ERROR: QMX Auto Reports: Socket creation failed";
inline constexpr const char* ConnectFailed = "ERROR: QMX Auto Reports: Could not connect to server";
inline constexpr const char* GreetingReceiveFailed = "ERROR: QMX Auto Reports: Failed to receive reply from connection";
inline constexpr const char* GreetingRejected = "ERROR: Not a valid SMTP server response\r\n";
inline constexpr const char* HeloReceiveFailed = "ERROR: QMX Auto Reports: Failed to read HELO response from server";
inline constexpr const char* HeloRejected = "ERROR: Failed to receive reply from HELO from server\r\n";
inline constexpr const char* FromReceiveFailed = "ERROR: QMX Auto Reports: Failed the FROM response";
inline constexpr const char* SenderRejected = "ERROR: Sender rejected\r\n";
inline constexpr const char* RcptReceiveFailed = "ERROR: QMX Auto Reports: Failed the RCPT reponse";
inline constexpr const char* RecipientRejected = "ERROR: Recipient rejected\r\n";
inline constexpr const char* DataReceiveFailed = "ERROR: QMX Auto Reports: Failed the DATA response";
inline constexpr const char* DataRejected = "ERROR: DATA command rejected\r\n";
inline constexpr const char* BodySendFailed =
    "ERROR: QMX Auto Reports: Failed with no response for MESSAGE from server";
inline constexpr const char* EndReceiveFailed =
    "ERROR: QMX Auto Reports: Failed with no response for termination line from server";
inline constexpr const char* BodyRejected = "ERROR: Message body rejected\r\n";
// Our own: a list without one address sends nothing, and says so.
inline constexpr const char* NoRecipients = "ERROR: QMX Auto Reports: No e-mail address to send to; no mail sent";
// Our own: a line break in an address or the server name would smuggle in a command.
inline constexpr const char* LineBreakInAddress =
    "ERROR: QMX Auto Reports: A mail address or the server name holds a line break; no mail sent";
// Our own: a reply past the client's limit is cut, and its rest is not read as the next one.
inline constexpr const char* LongReplyCut = "QMX Auto Reports: The mail server's reply was longer than 4096 bytes; "
                                            "its first 4096 bytes were kept and the rest was read and discarded";
inline constexpr const char* BadServerPort =
    "ERROR: QMX Auto Reports: The SMTP server's port is not a number from 1 to 65535";

// The dialogue's commands.
inline constexpr const char* Helo = "HELO localhost\r\n";
inline constexpr const char* Quit = "QUIT\r\n";
inline constexpr const char* Data = "DATA\r\n";
inline constexpr const char* EndOfData = "\r\n.\r\n";

// Settings dialog.
inline constexpr const char* DialogTitle = "Auto Reports Agent";
inline constexpr const char* NoIpChecked =
    "No IP address was checked. Please check one or more of the available IP addresses.";
inline constexpr const char* SelectRange = "Please select a date range.";
inline constexpr const char* NewStartDate = "New calculated start date: ";
// Our own: the server field may carry a port, and a bad one is caught before any run.
inline constexpr const char* ServerPortMessage = "The SMTP server's port must be a number from 1 to 65535.";
inline constexpr const char* IpListSelect = "select distinct ipaddress from %s order by ipaddress asc";
inline constexpr const char* IpListPrepareFailed = "Error preparing the select statement in report by mount rates:";
inline constexpr const char* IpListExecuteFailed = "Error executing the select statement in report by mount rates:";

// Our own: the agent service after an outage of the database.
inline constexpr const char* DatabaseAnswersAgain = "The database answers again";

// Our own: a report that this build cannot run yet is logged instead of mailed.
} // namespace agent_texts

// The sender address of the agent's mail unless a site sets its own.
inline constexpr const char* DefaultAgentSender = "vaultline-agent@localhost";
