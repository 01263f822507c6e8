#pragma once
// The crawl's fixed texts as GBK bytes (the UTF-8 text of each is in the comment above it),
// and the names of the state files.

namespace tolvarine::texts {

// "请至少选择一个搜索项目才可以开始"
inline constexpr char kNeedSearchItem[] = "\xC7\xEB\xD6\xC1\xC9\xD9\xD1\xA1\xD4\xF1\xD2\xBB\xB8\xF6\xCB\xD1\xCB\xF7\xCF\xEE\xC4\xBF\xB2\xC5\xBF\xC9\xD2\xD4\xBF\xAA\xCA\xBC";
// "您还没有选择网址列表文件！"
inline constexpr char kNoListFile[] = "\xC4\xFA\xBB\xB9\xC3\xBB\xD3\xD0\xD1\xA1\xD4\xF1\xCD\xF8\xD6\xB7\xC1\xD0\xB1\xED\xCE\xC4\xBC\xFE\xA3\xA1";
// "您还没有连接到网上！"
inline constexpr char kNotOnline[] = "\xC4\xFA\xBB\xB9\xC3\xBB\xD3\xD0\xC1\xAC\xBD\xD3\xB5\xBD\xCD\xF8\xC9\xCF\xA3\xA1";
// "正在搜索..."
inline constexpr char kSearching[] = "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7...";
// "终止搜索..."
inline constexpr char kStopping[] = "\xD6\xD5\xD6\xB9\xCB\xD1\xCB\xF7...";
// "搜索已经结束!"
inline constexpr char kFinished[] = "\xCB\xD1\xCB\xF7\xD2\xD1\xBE\xAD\xBD\xE1\xCA\xF8!";
// "您还没有搜索或上次搜索没有保存！"
inline constexpr char kNoProgress[] = "\xC4\xFA\xBB\xB9\xC3\xBB\xD3\xD0\xCB\xD1\xCB\xF7\xBB\xF2\xC9\xCF\xB4\xCE\xCB\xD1\xCB\xF7\xC3\xBB\xD3\xD0\xB1\xA3\xB4\xE6\xA3\xA1";
// "网址列表文件不存在！"
inline constexpr char kListMissing[] = "\xCD\xF8\xD6\xB7\xC1\xD0\xB1\xED\xCE\xC4\xBC\xFE\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xA1";
// "开始搜索..."
inline constexpr char kStarting[] = "\xBF\xAA\xCA\xBC\xCB\xD1\xCB\xF7...";
// "继续搜索提示"
inline constexpr char kResumeCaption[] = "\xBC\xCC\xD0\xF8\xCB\xD1\xCB\xF7\xCC\xE1\xCA\xBE";
// "请输入您上次搜索断点位置        " (eight blanks at the end)
inline constexpr char kResumePrompt[] = "\xC7\xEB\xCA\xE4\xC8\xEB\xC4\xFA\xC9\xCF\xB4\xCE\xCB\xD1\xCB\xF7\xB6\xCF\xB5\xE3\xCE\xBB\xD6\xC3        ";
// "取消继续搜索..."
inline constexpr char kResumeCancelled[] = "\xC8\xA1\xCF\xFB\xBC\xCC\xD0\xF8\xCB\xD1\xCB\xF7...";
// "网址列表搜索完毕..."
inline constexpr char kListExhausted[] = "\xCD\xF8\xD6\xB7\xC1\xD0\xB1\xED\xCB\xD1\xCB\xF7\xCD\xEA\xB1\xCF...";
// "继续搜索..."
inline constexpr char kResuming[] = "\xBC\xCC\xD0\xF8\xCB\xD1\xCB\xF7...";

// "已略去无效号码 " and " 个", around the count of numbers left out as invalid
inline constexpr char kInvalidDropped[] = "\xD2\xD1\xC2\xD4\xC8\xA5\xCE\xDE\xD0\xA7\xBA\xC5\xC2\xEB ";
inline constexpr char kInvalidDroppedUnit[] = " \xB8\xF6";

// "状态文件夹 %s 正由另一个搜索使用（进程 %d），请等它结束后再试。", in pieces: the folder after
// the first, the process id (when the holder is known) between the third and fourth.
inline constexpr char kFolderInUse[] = "\xD7\xB4\xCC\xAC\xCE\xC4\xBC\xFE\xBC\xD0 ";
inline constexpr char kFolderInUseBy[] = " \xD5\xFD\xD3\xC9\xC1\xED\xD2\xBB\xB8\xF6\xCB\xD1\xCB\xF7\xCA\xB9\xD3\xC3";
inline constexpr char kFolderInUseProcess[] = "\xA3\xA8\xBD\xF8\xB3\xCC ";
inline constexpr char kFolderInUseProcessEnd[] = "\xA3\xA9";
inline constexpr char kFolderInUseEnd[] = "\xA3\xAC\xC7\xEB\xB5\xC8\xCB\xFC\xBD\xE1\xCA\xF8\xBA\xF3\xD4\xD9\xCA\xD4\xA1\xA3";

// "不是网址：" (followed by the list line)
inline constexpr char kNotAnAddress[] = "\xB2\xBB\xCA\xC7\xCD\xF8\xD6\xB7\xA3\xBA";

// "Crawl-delay 超过 60 秒，按 60 秒计：" (followed by the host)
inline constexpr char kCrawlDelayCapped[] =
    "Crawl-delay \xB3\xAC\xB9\xFD 60 \xC3\xEB\xA3\xAC\xB0\xB4 60 \xC3\xEB\xBC\xC6\xA3\xBA";

// State files, all in the state folder.
inline constexpr char kProgressFileName[] = "tolvarine.ini";
inline constexpr char kPrefixListFileName[] = "kqwebmobset.ini";
inline constexpr char kMustContainFileName[] = "kqweblinkok.ini";
inline constexpr char kMustNotContainFileName[] = "kqweblinkno.ini";

}  // namespace tolvarine::texts
