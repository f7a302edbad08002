// Stand-in for the game: a small page that reads its server and account from the address,
// keeps a score and a clock so that a tab is visibly alive. No plug-in, old-browser script only.
(function () {
    function byId(id) { return document.getElementById(id); }

    function query(name) {
        var pairs = location.search.replace(/^\?/, "").split("&");
        for (var i = 0; i < pairs.length; i++) {
            var eq = pairs[i].indexOf("=");
            var key = eq < 0 ? pairs[i] : pairs[i].substring(0, eq);
            if (key === name) {
                try { return decodeURIComponent(eq < 0 ? "" : pairs[i].substring(eq + 1).replace(/\+/g, " ")); }
                catch (e) { return ""; }
            }
        }
        return "";
    }

    function setText(id, text) {
        var node = byId(id);
        while (node.firstChild) node.removeChild(node.firstChild);
        node.appendChild(document.createTextNode(text));
    }

    var score = 0;
    var seconds = 0;

    function tick() {
        seconds++;
        var m = Math.floor(seconds / 60), s = seconds % 60;
        setText("clock", (m < 10 ? "0" : "") + m + ":" + (s < 10 ? "0" : "") + s);
    }

    window.onload = function () {
        var server = query("server").replace(/S/g, "") || byId("page").getAttribute("data-server");
        var account = query("account") || "游客";
        setText("who", account + " · " + server + "服");
        document.title = "塔恩 - " + server + "服 - " + account;
        byId("hit").onclick = function () {
            score += 1 + Math.floor(Math.random() * 3);
            setText("score", String(score));
            return false;
        };
        window.setInterval(tick, 1000);
    };
})();
