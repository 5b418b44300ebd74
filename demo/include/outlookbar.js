// The outlook bar of the frame: one bar per first-level menu item, stacked; clicking a bar
// opens its list of items (one list open at a time); an item opens its page in the content
// frame. Pages fill it with the classic calls:
//   var outlookbar = new outlook("main"); var t;
//   t = outlookbar.addtitle("日程安排");
//   outlookbar.addheading("个人日程", t);            // a heading inside the bar's list
//   outlookbar.additem("我的月计划", t, "scheduler/personMonth.asp");
//   outlookbar.show("outlook");                       // draws it into the element with that id
function outlook(target) {
  this.target = target || "main";
  this.titles = [];
}

outlook.prototype.addtitle = function (name) {
  this.titles.push({ name: name, entries: [] });
  return this.titles.length - 1;
};

outlook.prototype.addheading = function (name, title) {
  this.titles[title].entries.push({ name: name, heading: true });
};

outlook.prototype.additem = function (name, title, url) {
  this.titles[title].entries.push({ name: name, url: url, nested: this.nested(title) });
};

// Items that follow a heading are drawn indented under it.
outlook.prototype.nested = function (title) {
  var entries = this.titles[title].entries;
  for (var i = entries.length - 1; i >= 0; i--) {
    if (entries[i].heading) return true;
  }
  return false;
};

outlook.prototype.show = function (holderId) {
  var holder = document.getElementById(holderId);
  var bar = this;
  holder.innerHTML = "";
  if (!this.titles.length) {
    holder.innerHTML = "<div class='obar-empty'>没有可用的菜单项</div>";
    return;
  }
  for (var i = 0; i < this.titles.length; i++) {
    holder.appendChild(this.drawTitle(i));
    holder.appendChild(this.drawList(i));
  }
  this.select(0);
  holder.onclick = function (e) {
    var node = e.target;
    while (node && node !== holder && !node.getAttribute("data-title") && !node.href) {
      node = node.parentNode;
    }
    if (!node || node === holder) return;
    if (node.getAttribute("data-title")) bar.select(+node.getAttribute("data-title") - 1);
    else bar.mark(node);
  };
};

outlook.prototype.drawTitle = function (i) {
  var title = document.createElement("div");
  title.className = "obar-title";
  title.setAttribute("data-title", String(i + 1));
  title.appendChild(document.createTextNode(this.titles[i].name));
  return title;
};

outlook.prototype.drawList = function (i) {
  var list = document.createElement("div");
  list.className = "obar-list";
  var entries = this.titles[i].entries;
  for (var k = 0; k < entries.length; k++) {
    var entry = entries[k];
    var node;
    if (entry.heading) {
      node = document.createElement("div");
      node.className = "obar-heading";
    } else {
      node = document.createElement("a");
      node.className = entry.nested ? "obar-item nested" : "obar-item";
      node.href = entry.url;
      node.target = this.target;
    }
    node.appendChild(document.createTextNode(entry.name));
    list.appendChild(node);
  }
  return list;
};

outlook.prototype.select = function (index) {
  var lists = document.querySelectorAll(".obar-list");
  var titles = document.querySelectorAll(".obar-title");
  for (var i = 0; i < lists.length; i++) {
    lists[i].style.display = i === index ? "" : "none";
    titles[i].className = i === index ? "obar-title open" : "obar-title";
  }
};

outlook.prototype.mark = function (item) {
  var items = document.querySelectorAll(".obar-item");
  for (var i = 0; i < items.length; i++) items[i].className = items[i].className.replace(" current", "");
  item.className += " current";
};
