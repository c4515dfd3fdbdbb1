#pragma once

// What the program asks the server for. The version check, the poll window
// and the server's routes all read these, so a path or a parameter name is
// spelled once.
namespace mv {

// The two version documents, each a file of the same name in the server's
// document folder.
inline constexpr const char* kVersionDocument = "/Mp3VandrelVersion.txt";
inline constexpr const char* kLinkDocument = "/DlLink.txt";

// The poll's four requests and the one parameter each of the last two takes.
inline constexpr const char* kPollPath = "/cgi-win/Votes.dll";
inline constexpr const char* kQuestionListPath = "/cgi-win/Votes.dll/GetQList";
inline constexpr const char* kResultsPath = "/cgi-win/Votes.dll/GetResults";
inline constexpr const char* kVotePath = "/cgi-win/Votes.dll/Vote";
inline constexpr const char* kQuestionNumberParam = "QuestNo";
inline constexpr const char* kVoteParam = "Vote";

}  // namespace mv
