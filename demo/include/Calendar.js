// The calendar of the entry forms: ShowCal(left, top, field) shows a month at the given page
// position next to a date box, moved left when it would not fit the window; choosing a day
// writes yyyy-mm-dd into the form field of that name. keepCal() keeps the calendar open while
// the pointer is over it or its button; it closes a moment after the pointer leaves.
var calField = null;
var calMonth = null;
var calHideTimer = null;

function calPad(n) { return (n < 10 ? "0" : "") + n; }

function calBox() { return document.getElementById("calendar"); }

function calInput() {
  var boxes = document.getElementsByName(calField);
  return boxes.length ? boxes[0] : null;
}

function calParse(text) {
  var m = /^(\d{4})[-\/](\d{1,2})[-\/](\d{1,2})/.exec(text || "");
  return m ? new Date(+m[1], +m[2] - 1, +m[3]) : null;
}

function calDraw() {
  var box = calBox();
  var year = calMonth.getFullYear(), month = calMonth.getMonth();
  var first = new Date(year, month, 1).getDay();
  var days = new Date(year, month + 1, 0).getDate();
  var today = new Date();
  var html = "<table><tr><th class=nav onclick='calShift(-1)'>&lt;</th><th colspan=5>" +
             year + "年" + (month + 1) + "月</th><th class=nav onclick='calShift(1)'>&gt;</th></tr><tr>";
  var names = ["日", "一", "二", "三", "四", "五", "六"];
  for (var i = 0; i < 7; i++) html += "<th>" + names[i] + "</th>";
  html += "</tr><tr>";
  for (var blank = 0; blank < first; blank++) html += "<td></td>";
  for (var d = 1; d <= days; d++) {
    var isToday = d == today.getDate() && month == today.getMonth() && year == today.getFullYear();
    html += "<td class='day" + (isToday ? " today" : "") + "' onclick='calPick(" + d + ")'>" + d + "</td>";
    if ((first + d) % 7 == 0 && d < days) html += "</tr><tr>";
  }
  box.innerHTML = html + "</tr></table>";
}

function ShowCal(left, top, field) {
  var box = calBox();
  if (!box) return;
  calField = field;
  var input = calInput();
  calMonth = calParse(input ? input.value : "") || new Date();
  calMonth.setDate(1);
  calDraw();
  // A date box in the form's right-hand column would put the calendar past the window's edge.
  var room = document.documentElement.clientWidth - box.offsetWidth - 4;
  box.style.left = Math.max(0, Math.min(left, room)) + "px";
  box.style.top = top + "px";
  box.style.visibility = "visible";
  keepCal();
  box.onmouseout = calLater;
}

function calShift(months) {
  calMonth = new Date(calMonth.getFullYear(), calMonth.getMonth() + months, 1);
  calDraw();
  keepCal();
}

function calPick(day) {
  var input = calInput();
  if (input) {
    input.value = calMonth.getFullYear() + "-" + calPad(calMonth.getMonth() + 1) + "-" + calPad(day);
  }
  calBox().style.visibility = "hidden";
}

function keepCal() {
  if (calHideTimer) clearTimeout(calHideTimer);
  calHideTimer = null;
}

function calLater() {
  keepCal();
  calHideTimer = setTimeout(function () { calBox().style.visibility = "hidden"; }, 800);
}
